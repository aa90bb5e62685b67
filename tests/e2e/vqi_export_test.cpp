#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"
#include "vqi/vqi_export_ids.h"

namespace {

class VqiExport : public ViewerTest {
 protected:
  HWND OpenExportDialog() {
    pelora_.PostCommand(ID_FILE_SAVE_VQI);
    HWND dialog = pelora_.WaitForOwnWindow("#32770");
    if (dialog == nullptr) return nullptr;
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "VQIで出力");
    return dialog;
  }

  // Presses OK in the export dialog and answers its save dialog with `name`.
  void ExportAs(HWND dialog, const std::string& name) {
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      save = pelora_.WaitForOwnWindow("#32770", 200);
      char caption[64] = "";
      GetWindowTextA(save, caption, sizeof caption);
      return save != nullptr && strcmp(caption, "保存") == 0;
    }));
    ASSERT_TRUE(AnswerFileDialog(save, folder_.Path(name)));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    pelora_.Settle();
  }

  // What `vqiconv info` says of the file.
  std::string Info(const std::string& name) {
    std::string output;
    RunConsoleProgram(Quoted(BuiltFile("cli\\vqiconv.exe")) + " info " + Quoted(folder_.Path(name)),
                      &output);
    return output;
  }

  void ChooseAlphaKind(HWND dialog, int kind) {
    HWND box = GetDlgItem(dialog, IDC_VQI_ALPHA_KIND);
    SendMessageA(box, CB_SETCURSEL, kind, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_VQI_ALPHA_KIND, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
  }
};

bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)); }

}  // namespace

TEST_F(VqiExport, DefaultsSaveLumaWithEveryStage) {
  // Flat blocks, so that run-length coding shortens every plane.
  const std::string blocks = folder_.Path("blocks.bmp");
  ASSERT_TRUE(WriteTestBmp(blocks, 120, 80,
                           [](int x, int y) { return CodedColor(x / 40 * 70, y / 40 * 90); }));
  ASSERT_TRUE(pelora_.Start(Quoted(blocks)));
  HWND dialog = OpenExportDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(Enabled(dialog, IDC_VQI_DELTA));
  EXPECT_FALSE(Enabled(dialog, IDC_VQI_RED));
  EXPECT_FALSE(Enabled(dialog, IDC_VQI_ALPHA_IMAGE));
  EXPECT_EQ(GetDlgItemInt(dialog, IDC_VQI_GREEN, nullptr, FALSE), 255u);
  ExportAs(dialog, "default.vqi");
  const std::string info = Info("default.vqi");
  EXPECT_NE(info.find("colour model: 1 luma (Y-yR-yB)\r"), std::string::npos) << info;
  EXPECT_NE(info.find("planes: 3"), std::string::npos) << info;
  EXPECT_NE(info.find("plane 0: "), std::string::npos);
  EXPECT_NE(info.find("stages: delta, run-length, Huffman"), std::string::npos) << info;

  // What was saved opens again.
  OpenByDropping(folder_.Path("default.vqi"));
  EXPECT_EQ(CaptureClient(pelora_.View()).width, 120);
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(VqiExport, TransparentColourAndAlphaImageAddAPlane) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("coded.bmp", 120, 80))));
  HWND dialog = OpenExportDialog();
  ASSERT_NE(dialog, nullptr);
  ChooseAlphaKind(dialog, 1);
  EXPECT_TRUE(Enabled(dialog, IDC_VQI_RED));
  EXPECT_FALSE(Enabled(dialog, IDC_VQI_ALPHA_IMAGE));
  SetDlgItemInt(dialog, IDC_VQI_RED, 255, FALSE);
  SetDlgItemInt(dialog, IDC_VQI_GREEN, 255, FALSE);
  SetDlgItemInt(dialog, IDC_VQI_BLUE, 255, FALSE);
  ExportAs(dialog, "keyed.vqi");
  std::string info = Info("keyed.vqi");
  EXPECT_NE(info.find("with alpha"), std::string::npos) << info;
  EXPECT_NE(info.find("planes: 4"), std::string::npos) << info;

  dialog = OpenExportDialog();
  ASSERT_NE(dialog, nullptr);
  ChooseAlphaKind(dialog, 2);
  EXPECT_FALSE(Enabled(dialog, IDC_VQI_RED));
  EXPECT_TRUE(Enabled(dialog, IDC_VQI_ALPHA_IMAGE));
  PostMessageA(dialog, WM_COMMAND, IDC_VQI_ALPHA_IMAGE, 0);
  HWND choose = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    choose = pelora_.WaitForOwnWindow("#32770", 200);
    char caption[64] = "";
    GetWindowTextA(choose, caption, sizeof caption);
    return choose != nullptr && strcmp(caption, "αチャンネル読み込み") == 0;
  }));
  ASSERT_TRUE(AnswerFileDialog(choose, WriteCodedImage("alpha.bmp", 120, 80)));
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(choose); }));
  ExportAs(dialog, "masked.vqi");
  info = Info("masked.vqi");
  EXPECT_NE(info.find("planes: 4"), std::string::npos) << info;
  EXPECT_EQ(pelora_.Close(), 0u);
}

TEST_F(VqiExport, CancellingTheSaveDialogWritesNothing) {
  ASSERT_TRUE(pelora_.Start(Quoted(WriteCodedImage("coded.bmp", 60, 40))));
  HWND dialog = OpenExportDialog();
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  HWND save = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    save = pelora_.WaitForOwnWindow("#32770", 200);
    return save != nullptr && save != dialog;
  }));
  PostMessageA(save, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_FALSE(FileExists(folder_.Path("coded.vqi")));
  EXPECT_EQ(pelora_.Close(), 0u);
}
