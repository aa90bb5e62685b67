#include <gtest/gtest.h>

#include "shell/resource.h"
#include "tests/e2e/pelora_driver.h"
#include "vqi/vqi_export_ids.h"

namespace {

class VqiExport : public ViewerTest {
 protected:
  // Opens the export dialog, sets its alpha kind (and for an alpha image, chooses `alpha`
  // through its file dialog), presses OK and answers the save dialog with `name`, or cancels
  // it when `name` is empty.
  void Export(int alphaKind, const std::string& name, const std::string& alpha = "") {
    pelora_.PostCommand(ID_FILE_SAVE_VQI);
    HWND dialog = pelora_.WaitForDialog("VQIで出力");
    ASSERT_NE(dialog, nullptr);
    const bool enabled[][3] = {{false, false, false}, {true, true, false}, {false, false, true}};
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_VQI_DELTA)));  // luma: always on
    ChooseItem(dialog, IDC_VQI_ALPHA_KIND, alphaKind);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_VQI_RED)), enabled[alphaKind][0]);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_VQI_BLUE)), enabled[alphaKind][1]);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, IDC_VQI_ALPHA_IMAGE)), enabled[alphaKind][2]);
    EXPECT_EQ(GetDlgItemInt(dialog, IDC_VQI_GREEN, nullptr, FALSE), 255u);
    if (alphaKind == 1) {
      SetDlgItemInt(dialog, IDC_VQI_RED, 255, FALSE);
      SetDlgItemInt(dialog, IDC_VQI_BLUE, 255, FALSE);
    }
    if (!alpha.empty()) {
      PostMessageA(dialog, WM_COMMAND, IDC_VQI_ALPHA_IMAGE, 0);
      HWND choose = pelora_.WaitForDialog("αチャンネル読み込み");
      ASSERT_TRUE(AnswerFileDialog(choose, alpha));
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(choose); }));
    }
    PressButton(dialog, IDOK);
    HWND save = pelora_.WaitForDialog("保存");
    if (name.empty()) {
      CloseDialog(save, IDCANCEL);
    } else {
      ASSERT_TRUE(AnswerFileDialog(save, folder_.Path(name)));
    }
    WaitUntil([&] { return !IsWindow(save); });
    pelora_.Settle();
  }

  // What `vqiconv info` says of the file.
  std::string Info(const std::string& name) {
    std::string output;
    EXPECT_EQ(
        RunConsoleProgram(
            Quoted(BuiltFile("cli\\vqiconv.exe")) + " info " + Quoted(folder_.Path(name)), &output),
        0u);
    return output;
  }
};

}  // namespace

TEST_F(VqiExport, EveryAlphaKindAndCancel) {
  // Flat blocks, so that run-length coding shortens every plane.
  const std::string blocks = folder_.Path("blocks.bmp");
  ASSERT_TRUE(WriteTestBmp(blocks, 120, 80,
                           [](int x, int y) { return CodedColor(x / 40 * 70, y / 40 * 90); }));
  ASSERT_TRUE(pelora_.Start(Quoted(blocks)));
  Export(0, "default.vqi");
  std::string info = Info("default.vqi");
  EXPECT_NE(info.find("colour model: 1 luma (Y-yR-yB)\r"), std::string::npos) << info;
  EXPECT_NE(info.find("planes: 3"), std::string::npos) << info;
  EXPECT_NE(info.find("stages: delta, run-length, Huffman"), std::string::npos) << info;

  Export(1, "keyed.vqi");
  info = Info("keyed.vqi");
  EXPECT_NE(info.find("with alpha"), std::string::npos) << info;
  EXPECT_NE(info.find("planes: 4"), std::string::npos) << info;
  Export(2, "masked.vqi", WriteCodedImage("alpha.bmp", 120, 80));
  EXPECT_NE(Info("masked.vqi").find("planes: 4"), std::string::npos);

  // An alpha image that does not load is reported, and nothing is written.
  WriteBytes(folder_.Path("broken.bmp"), {'B', 'M', 0});
  Export(2, "unmasked.vqi", folder_.Path("broken.bmp"));
  HWND box = pelora_.WaitForDialog("エラー");
  EXPECT_EQ(BoxText(box), "エラー: αチャンネル画像を読み込めませんでした．");
  CloseDialog(box);
  EXPECT_FALSE(FileExists(folder_.Path("unmasked.vqi")));
  // Nor when the save dialog is cancelled.
  Export(0, "");
  EXPECT_FALSE(FileExists(folder_.Path("blocks.vqi")));

  // What was saved opens again.
  OpenByDropping(folder_.Path("default.vqi"));
  EXPECT_EQ(CaptureClient(pelora_.View()).width, 120);
  EXPECT_EQ(pelora_.Close(), 0u);
}
