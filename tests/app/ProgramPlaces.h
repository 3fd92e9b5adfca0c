#pragma once

#include <QPoint>

// Where the program's buttons are on a 1024 x 768 screen, as a user finds them: the toolbar at
// 588, 0, the board's strip right-aligned, the content panel at the left of the page (its title
// bar at 0, 41), and the windows that open over them, from their top-left corners.
namespace ProgramPlaces {

// The toolbar: a place on it, "书写板", "标注", "消隐投影" and "帮助".
constexpr QPoint toolbarPlace(700, 20);
constexpr QPoint toolbarBoardButton(588 + 19, 20);
constexpr QPoint toolbarAnnotateButton(588 + 38 + 19, 20);
constexpr QPoint toolbarShadeButton(588 + 191 + 19, 20);
constexpr QPoint toolbarHelpButton(588 + 229 + 19, 20);

constexpr QPoint screenMiddle(512, 400);

// The board's strip: "笔画颜色" (the red band), "背景颜色" (the grey field below it), "消隐投影",
// "设置", "操作演示", "右翻页" (its hint hangs below it over the page, from (894, 36) to (962, 64))
// and the content panel's button.
constexpr QPoint boardStrokeColourButton(300 + 1 + 18, 10);
constexpr QPoint boardBackgroundColourButton(300 + 1 + 18, 29);
constexpr QPoint boardShadeButton(300 + 646 + 19, 20);
constexpr QPoint boardSettingsButton(300 + 608 + 19, 20);
constexpr QPoint boardDemoButton(300 + 684 + 19, 20);
constexpr QPoint boardNextPageButton(300 + 578 + 14, 20);
constexpr QPoint onNextPageHint(930, 50);
constexpr QPoint boardContentPanelButton(300 + 478 + 18, 30);

// The content panel's title bar: font, open a document, scan, the clip-art palette, close.
constexpr QPoint panelFontButton(9 + 9, 41 + 2 + 9);
constexpr QPoint panelOpenButton(129 + 10, 41 + 6 + 7);
constexpr QPoint panelScanButton(154 + 10, 41 + 4 + 9);
constexpr QPoint panelPaletteButton(177 + 10, 41 + 4 + 9);
constexpr QPoint panelCloseButton(343 + 9, 41 + 9);

// "操作演示" on the overlay's strip, at the top right of the screen.
constexpr QPoint overlayLeaveButton(1024 - 591 + 552 + 19, 20);

// The palette's "其它" tab and its red cross, and the settings button window under the palette:
// its top-left corner, a place on it and its button "设置".
constexpr QPoint paletteOtherTab(76 + 1 + 18, 40 + 10);
constexpr QPoint paletteCloseButton(1 + 138 - 23 + 11, 40 + 10);
constexpr QPoint settingsButtonCorner(3, 725);
constexpr QPoint settingsButtonPlace(3 + 20, 725 + 35);
constexpr QPoint settingsButtonButton(3 + 92 + 19, 725 + 11);

// From the top-left corners of their windows: "确定" of the guide, of the settings window, of the
// scanner source window and of the picture import window; "浏览" of the picture import window;
// the second entry of the settings window's teacher list, its first volume and first lesson,
// "保存", "设置管理密码", and "取消" of the two password windows.
constexpr QPoint guideOkButton(353 + 40, 484 + 14);
constexpr QPoint settingsOkButton(455 + 42, 321 + 15);
constexpr QPoint scannerSourceOkButton(244 + 40, 114 + 15);
constexpr QPoint pictureImportOkButton(162 + 40, 166 + 17);
constexpr QPoint pictureImportBrowseButton(162 + 40, 6 + 17);
constexpr QPoint settingsSecondTeacher(7 + 6 + 20, 12 + 57 + 20);
constexpr QPoint settingsFirstVolume(162 + 6 + 10, 12 + 52 + 8);
constexpr QPoint settingsFirstLesson(162 + 139 + 10, 12 + 52 + 8);
constexpr QPoint settingsSaveButton(162 + 141 + 42, 12 + 303 + 15);
constexpr QPoint settingsAdministratorPasswordButton(7 + 24 + 47, 12 + 324 + 9);
constexpr QPoint teacherPasswordCancelButton(237 + 40, 156 + 15);
constexpr QPoint passwordChangeCancelButton(230 + 42, 179 + 15);

} // namespace ProgramPlaces
