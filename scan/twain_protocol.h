#pragma once
// The records and codes of the TWAIN 1.x protocol between an application, the source manager
// and a data source, written out in the protocol's packed layout. Platform-free: handles and
// memory references are plain pointers, as wide as the system's.

#include <cstdint>

#pragma pack(push, 2)

struct TwVersion {
  uint16_t MajorNum;
  uint16_t MinorNum;
  uint16_t Language;
  uint16_t Country;
  char Info[34];
};

struct TwIdentity {
  uint32_t Id;
  TwVersion Version;
  uint16_t ProtocolMajor;
  uint16_t ProtocolMinor;
  uint32_t SupportedGroups;
  char Manufacturer[34];
  char ProductFamily[34];
  char ProductName[34];
};

struct TwUserInterface {
  uint16_t ShowUI;
  uint16_t ModalUI;
  void* hParent;
};

struct TwEvent {
  void* pEvent;  // the window message
  uint16_t TWMessage;
};

struct TwPendingXfers {
  uint16_t Count;
  uint32_t EOJ;
};

// A capability asked for or set; the container is global memory the caller frees.
struct TwCapability {
  uint16_t Cap;
  uint16_t ConType;
  void* hContainer;
};

// The container of one value; a TW_FIX32 value is its whole part, then 1/65536ths.
struct TwOneValue {
  uint16_t ItemType;
  uint32_t Item;
};

#pragma pack(pop)

static_assert(sizeof(TwIdentity) == 156);
static_assert(sizeof(TwPendingXfers) == 6);
static_assert(sizeof(TwCapability) == sizeof(void*) + 4);
static_assert(sizeof(TwOneValue) == 6);
static_assert(sizeof(TwEvent) == sizeof(void*) + 2);
static_assert(sizeof(TwUserInterface) == sizeof(void*) + 4);

// Longest text a 34-byte string field holds before its terminator.
inline constexpr int kTwStringLength = 33;

// Data groups.
inline constexpr uint32_t DG_CONTROL = 0x0001;
inline constexpr uint32_t DG_IMAGE = 0x0002;

// Data argument types.
inline constexpr uint16_t DAT_NULL = 0x0000;
inline constexpr uint16_t DAT_CAPABILITY = 0x0001;
inline constexpr uint16_t DAT_EVENT = 0x0002;
inline constexpr uint16_t DAT_IDENTITY = 0x0003;
inline constexpr uint16_t DAT_PARENT = 0x0004;
inline constexpr uint16_t DAT_PENDINGXFERS = 0x0005;
inline constexpr uint16_t DAT_USERINTERFACE = 0x0009;
inline constexpr uint16_t DAT_IMAGENATIVEXFER = 0x0104;

// Messages.
inline constexpr uint16_t MSG_NULL = 0x0000;
inline constexpr uint16_t MSG_GET = 0x0001;
inline constexpr uint16_t MSG_GETCURRENT = 0x0002;
inline constexpr uint16_t MSG_GETDEFAULT = 0x0003;
inline constexpr uint16_t MSG_GETFIRST = 0x0004;
inline constexpr uint16_t MSG_GETNEXT = 0x0005;
inline constexpr uint16_t MSG_RESET = 0x0007;
inline constexpr uint16_t MSG_XFERREADY = 0x0101;
inline constexpr uint16_t MSG_CLOSEDSREQ = 0x0102;
inline constexpr uint16_t MSG_OPENDSM = 0x0301;
inline constexpr uint16_t MSG_CLOSEDSM = 0x0302;
inline constexpr uint16_t MSG_OPENDS = 0x0401;
inline constexpr uint16_t MSG_CLOSEDS = 0x0402;
inline constexpr uint16_t MSG_USERSELECT = 0x0403;
inline constexpr uint16_t MSG_DISABLEDS = 0x0501;
inline constexpr uint16_t MSG_ENABLEDS = 0x0502;
inline constexpr uint16_t MSG_PROCESSEVENT = 0x0601;
inline constexpr uint16_t MSG_ENDXFER = 0x0701;

// Return codes.
inline constexpr uint16_t TWRC_SUCCESS = 0;
inline constexpr uint16_t TWRC_FAILURE = 1;
inline constexpr uint16_t TWRC_CHECKSTATUS = 2;
inline constexpr uint16_t TWRC_CANCEL = 3;
inline constexpr uint16_t TWRC_DSEVENT = 4;
inline constexpr uint16_t TWRC_NOTDSEVENT = 5;
inline constexpr uint16_t TWRC_XFERDONE = 6;
inline constexpr uint16_t TWRC_ENDOFLIST = 7;

// Capabilities, containers and item types.
inline constexpr uint16_t ICAP_XRESOLUTION = 0x1118;
inline constexpr uint16_t ICAP_YRESOLUTION = 0x1119;
inline constexpr uint16_t TWON_ONEVALUE = 5;
inline constexpr uint16_t TWTY_FIX32 = 7;

// Groups an identity announces: control and image.
inline constexpr uint32_t DF_CONTROL_AND_IMAGE = DG_CONTROL | DG_IMAGE;

// Copies `text` into a 34-byte string field, cut to what fits, always terminated.
void CopyTwString(char field[34], const char* text);

// Dots per inch from a resolution capability's one value (a TW_FIX32 in inches, the units a
// source uses unless told otherwise), rounded; 0 for any other item or a resolution below one.
int32_t DotsPerInchFromOneValue(const TwOneValue& value);
