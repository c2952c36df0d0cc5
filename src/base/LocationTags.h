#pragma once

// Location tags of the trapped procedures, as the error report shows them.
namespace dravena::tags {

inline constexpr const char* Form1PushButton1Click =
    "in Korvitel2021/08/31.Form1.PushButton1_Click ";
inline constexpr const char* Form1PushButton2Click =
    "in Korvitel2021/08/31.Form1.PushButton2_Click ";
inline constexpr const char* Form1PushButton3Click =
    "in Korvitel2021/08/31.Form1.PushButton3_Click ";
inline constexpr const char* Form1PushButton4Click =
    "in Korvitel2021/08/31.Form1.PushButton4_Click ";
inline constexpr const char* Form1PushButton5Click =
    "in Korvitel2021/08/31.Form1.PushButton5_Click ";
inline constexpr const char* Form1FormLoad = "in Korvitel2021/08/31.Form1.Form_Load ";
inline constexpr const char* Form1PushButton6Click =
    "in Korvitel2021/08/31.Form1.PushButton6_Click ";
inline constexpr const char* MainRenameFile = "in Korvitel2021/08/31.Main.RenameFile ";
inline constexpr const char* Form2PushButton1Click =
    "in Korvitel2021/08/31.Form2.PushButton1_Click ";
inline constexpr const char* Form2PushButton10Click =
    "in Korvitel2021/08/31.Form2.PushButton10_Click ";
inline constexpr const char* Form2PushButton11Click =
    "in Korvitel2021/08/31.Form2.PushButton11_Click ";
inline constexpr const char* Form2PushButton12Click =
    "in Korvitel2021/08/31.Form2.PushButton12_Click ";
inline constexpr const char* Form2PushButton2Click =
    "in Korvitel2021/08/31.Form2.PushButton2_Click ";
inline constexpr const char* Form2PushButton4Click =
    "in Korvitel2021/08/31.Form2.PushButton4_Click ";
inline constexpr const char* Form2PushButton5Click =
    "in Korvitel2021/08/31.Form2.PushButton5_Click ";
inline constexpr const char* Form2PushButton6Click =
    "in Korvitel2021/08/31.Form2.PushButton6_Click ";
inline constexpr const char* Form2PushButton7Click =
    "in Korvitel2021/08/31.Form2.PushButton7_Click ";
inline constexpr const char* Form2PushButton8Click =
    "in Korvitel2021/08/31.Form2.PushButton8_Click ";
inline constexpr const char* Form2PushButton9Click =
    "in Korvitel2021/08/31.Form2.PushButton9_Click ";
inline constexpr const char* Form2FormLoad = "in Korvitel2021/08/31.Form2.Form_Load ";
inline constexpr const char* AddFolderGetSubDirectories2016 =
    "in TembrikTitle2021/08/31.AddFolder.GetSubDirectories2016 ";

} // namespace dravena::tags
