#include "shell/image_view.h"

#include <cstring>

#include "shell/app_state.h"
#include "shell/resource.h"
#include "shell/view_geometry.h"

ImageView View = {};

namespace {

const char kViewClass[] = "PeloraImage";
constexpr int kLineStep = 10;
constexpr int kPageStep = 80;

POINT ScrollOrigin = {0, 0};
POINT LastDragPoint = {0, 0};

ViewSize ImageSize() {
  const ImageBuffer* image = View.image;
  if (image == nullptr || image->kind == kImageEmpty) return {0, 0};
  return {image->width, image->height};
}

ViewSize ClientSize(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  return {client.right, client.bottom};
}

void PaintView(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  FillRect(dc, &client, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  const ImageBuffer* image = View.image;
  if (image != nullptr && image->kind != kImageEmpty) {
    const ViewSize clientSize = {client.right, client.bottom};
    const ViewSize imageSize = {image->width, image->height};
    if (View.fit) {
      const ViewRect r = FittedPictureRect(imageSize, clientSize);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, r.left, r.top, r.width, r.height, image->memoryDC, 0, 0, image->width,
                 image->height, SRCCOPY);
    } else {
      const ViewRect r = ActualSizePictureRect(imageSize, clientSize);
      BitBlt(dc, r.left, r.top, clientSize.width, clientSize.height, image->memoryDC,
             ScrollOrigin.x, ScrollOrigin.y, SRCCOPY);
    }
  }
  EndPaint(window, &paint);
}

int ScrollRequestAmount(WPARAM wParam, int position) {
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      return -kLineStep;
    case SB_LINEDOWN:
      return kLineStep;
    case SB_PAGEUP:
      return -kPageStep;
    case SB_PAGEDOWN:
      return kPageStep;
    case SB_THUMBTRACK:
      return HIWORD(wParam) - position;
    default:
      return 0;
  }
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (GetWindowLongPtrA(window, GWLP_USERDATA) == 0) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  switch (message) {
    case WM_SIZE:
      UpdateScrollBars();
      break;
    case WM_PAINT:
      PaintView(window);
      return 0;
    case WM_HSCROLL:
      ScrollViewBy(ScrollRequestAmount(wParam, ScrollOrigin.x), 0);
      break;
    case WM_VSCROLL:
      ScrollViewBy(0, ScrollRequestAmount(wParam, ScrollOrigin.y));
      break;
    case WM_LBUTTONDOWN:
      LastDragPoint = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      SetFocus(window);
      SetCapture(window);
      break;
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) {
        const POINT cursor = {static_cast<short>(LOWORD(lParam)),
                              static_cast<short>(HIWORD(lParam))};
        ScrollViewBy(LastDragPoint.x - cursor.x, LastDragPoint.y - cursor.y);
        LastDragPoint = cursor;
      }
      break;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_MOUSEWHEEL: {
      const int amount = WheelScrollAmount(static_cast<short>(HIWORD(wParam)));
      if (LOWORD(wParam) == MK_SHIFT) {
        ScrollViewBy(amount, 0);
      } else {
        ScrollViewBy(0, amount);
      }
      break;
    }
    case WM_DESTROY:
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterViewClass() {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(AppInstance, kViewClass, &existing)) return true;
  WNDCLASSEXA viewClass = {};
  viewClass.cbSize = sizeof viewClass;
  viewClass.style = CS_HREDRAW | CS_VREDRAW;
  viewClass.lpfnWndProc = ViewProc;
  viewClass.hInstance = AppInstance;
  viewClass.hIcon = LoadIconA(AppInstance, MAKEINTRESOURCEA(IDI_PELORA));
  viewClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  viewClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  viewClass.lpszClassName = kViewClass;
  return RegisterClassExA(&viewClass) != 0;
}

void InitScrollInfo(SCROLLINFO* info) {
  *info = {};
  info->cbSize = sizeof *info;
  info->fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
}

}  // namespace

bool CreateImageView(HWND mainWindow) {
  if (!RegisterViewClass()) return false;
  auto* image = new ImageBuffer;
  if (!CreateImageBuffer(image, 320, 24, 240)) {
    delete image;
    return false;
  }
  std::memset(image->pixels, 0xFF, image->info.header.biSizeImage);
  HWND window = CreateWindowExA(0, kViewClass, "", WS_CHILD, CW_USEDEFAULT, CW_USEDEFAULT, 1, 1,
                                mainWindow, nullptr, AppInstance, nullptr);
  if (window == nullptr) {
    DeleteImageBuffer(image);
    return false;
  }
  View.window = window;
  View.image = image;
  InitScrollInfo(&View.horizontal);
  InitScrollInfo(&View.vertical);
  SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&View));
  ShowWindow(window, SW_SHOW);
  return true;
}

void UpdateScrollBars() {
  const ViewSize image = ImageSize();
  const LONG style = GetWindowLongA(View.window, GWL_STYLE);
  const ScrollBarSizes bars = {GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CXVSCROLL)};
  const ViewSize viewport = ViewportForImage(
      image, ClientSize(View.window), (style & WS_HSCROLL) != 0, (style & WS_VSCROLL) != 0, bars);
  ScrollOrigin.x = ClampScrollOrigin(ScrollOrigin.x, image.width, viewport.width);
  ScrollOrigin.y = ClampScrollOrigin(ScrollOrigin.y, image.height, viewport.height);

  View.horizontal.nMin = 0;
  View.horizontal.nMax = View.fit ? 0 : image.width - 1;
  View.horizontal.nPage = static_cast<UINT>(viewport.width > 0 ? viewport.width : 0);
  View.horizontal.nPos = ScrollOrigin.x;
  View.vertical.nMin = 0;
  View.vertical.nMax = View.fit ? 0 : image.height - 1;
  View.vertical.nPage = static_cast<UINT>(viewport.height > 0 ? viewport.height : 0);
  View.vertical.nPos = ScrollOrigin.y;
  SetScrollInfo(View.window, SB_HORZ, &View.horizontal, TRUE);
  SetScrollInfo(View.window, SB_VERT, &View.vertical, TRUE);
}

void ScrollViewBy(int dx, int dy) {
  if (View.fit) return;
  const ViewSize image = ImageSize();
  dx = ClampScrollStep(dx, ScrollOrigin.x, static_cast<int>(View.horizontal.nPage), image.width);
  dy = ClampScrollStep(dy, ScrollOrigin.y, static_cast<int>(View.vertical.nPage), image.height);
  if (dx == 0 && dy == 0) return;
  ScrollOrigin.x += dx;
  View.horizontal.nPos = ScrollOrigin.x;
  SetScrollInfo(View.window, SB_HORZ, &View.horizontal, TRUE);
  ScrollOrigin.y += dy;
  View.vertical.nPos = ScrollOrigin.y;
  SetScrollInfo(View.window, SB_VERT, &View.vertical, TRUE);
  ScrollWindow(View.window, -dx, -dy, nullptr, nullptr);
  UpdateWindow(View.window);
}

namespace {

// Makes the outer size that shows the whole image the frame limit and, unless the window is
// maximized, gives the window that size, at most 800 × 600.
void SizeMainWindowTo(ViewSize image) {
  HWND main = MainWindow.window;
  WINDOWPLACEMENT placement = {};
  placement.length = sizeof placement;
  GetWindowPlacement(main, &placement);
  RECT whole = {0, 0, image.width, image.height};
  AdjustWindowRect(&whole, WS_OVERLAPPEDWINDOW, TRUE);
  ImageWindowSize = {whole.right - whole.left, whole.bottom - whole.top};
  if (placement.showCmd == SW_SHOWMAXIMIZED) return;
  const ViewSize first = CappedWindowSize(ImageWindowSize);
  SetWindowPos(main, nullptr, 0, 0, first.width, first.height, SWP_NOZORDER | SWP_NOMOVE);
  // A menu bar that wraps onto more lines takes client height, which the window then needs
  // too. A window already capped in height shows less than the image anyway: correcting it
  // would only raise the frame limit past the image.
  if (first.height == ImageWindowSize.height) {
    RECT client;
    GetClientRect(main, &client);
    if (client.bottom < image.height) ImageWindowSize.height += image.height - client.bottom;
  }
  const ViewSize second = CappedWindowSize(ImageWindowSize);
  if (second.height != first.height) {
    SetWindowPos(main, nullptr, 0, 0, first.width, second.height, SWP_NOZORDER | SWP_NOMOVE);
  }
}

}  // namespace

bool SizeWindowToImage() {
  ScrollOrigin = {0, 0};
  const ViewSize image = ImageSize();
  // An empty image has no size to fit: the window and its frame limit stay as they are.
  if (image.width != 0) SizeMainWindowTo(image);
  UpdateScrollBars();
  RedrawWindow(MainWindow.window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return true;
}
