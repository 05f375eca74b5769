#pragma once
// Where the message pages put their controls and how they size their fonts
// and texts, as pure functions of the type, the language, the brand and what
// the drawing measured. Boxes are in the unmirrored client coordinates of the
// 900 by 590 page; mirrored() gives the Arabic placement.
#include <windows.h>

#include <functional>
#include <utility>
#include <vector>

namespace msg {

constexpr int kPageWidth = 900;
constexpr int kPageHeight = 590;

struct Box {
    int x, y, w, h;
    bool operator==(const Box& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// Under the Arabic UI a box keeps its distance from the right edge instead.
Box mirrored(const Box& box, int clientWidth, int language);

// ---- fonts (pixels)
int okFontSize(int captionLength);
int cancelFontSize(int captionLength);
// The settings variant sizes OK and Cancel alike, without OK's 16 step.
int configButtonFontSize(int captionLength);
constexpr int kCheckLinkFontSize = 16;
constexpr int kChangeFolderFontSize = 18;

// ---- fixed layout of every refresh
struct ButtonBoxes {
    Box ok;
    Box cancel;  // meaningful only with Cancel used
};
ButtonBoxes buttonBoxes(int type, bool cancelUsed, int clientWidth, int clientHeight);
// 1020: OK and the open-folder button side by side, as OK and Cancel.
ButtonBoxes openFolderBoxes(int clientWidth, int clientHeight);
Box removeDownloadsTitleBox(int clientWidth);  // 1005
Box radioBox(int control);                     // 1612 to 1615
Box folderPathBox(int type, int pathLength, int clientWidth);
Box folderFieldBox();
Box changeFolderBox();
// 1006 when the page is shown.
Box firstOpenFolderBox(int language, int pathLength, int clientWidth);

// Every refresh's placement in one table: OK (and Cancel when used), the
// 1005 title, the web browser at zero size, the radios, the folder path box,
// the folder field and the change-folder button. Each row is moved with
// mirror kind 2 (mirrored under the Arabic UI).
struct PlacedControl {
    int control;
    Box box;
};
std::vector<PlacedControl> refreshLayout(int type, bool cancelUsed, int pathLength, int clientWidth,
                                         int clientHeight);
// Font sizes of the font update: check box, link, OK, Cancel, change folder.
// The settings variant sizes OK like Cancel.
std::vector<std::pair<int, int>> buttonFontSizes(int okCaptionLength, int cancelCaptionLength, bool configVariant);

// ---- placement after the text block (bottom = the block's bottom B)
Box checkBoxBox(int captionWidth, int language);
int linkWidth(int captionWidth, int language, int lastBrand, int type);
Box linkBox(int captionWidth, int language, int lastBrand, int type, int bottom, int clientWidth);
struct FolderAfterDrawing {
    bool shown = false;
    Box path{};
    bool rightAligned = false;
    bool row = false;  // 1012: the folder field and the change-folder button too
    Box field{};
    Box button{};
};
FolderAfterDrawing folderAfterDrawing(int type, int bottom, int language);

// ---- header band and documents
int headingFontSize(int type, int language);
int headingTop(int lastBrand);
// 1007: how far the pictures of both documents move down.
int consentPictureOffset(int language, int subtitleLength, int rootBrand);
// 1007: how far a document heading moves down.
int consentHeadingOffset(int language, int headingLength);
// The PNG of OK by the root's brand and the region.
int okButtonImage(int rootBrand, int region);

// ---- text block
enum class BlockElement { Title, Subtitle, Text1, Text2, Text3, Detail1, Detail2 };
constexpr int kBlockElements = 7;

struct ElementStyle {
    int gap;
    int size;
    COLORREF colour;
    int left, right;  // drawing rectangle, x
};
ElementStyle elementStyle(BlockElement element, int type, int language, int clientWidth);
// How far the next element starts below this one once it drew h pixels.
int elementAdvance(BlockElement element, int type, int h);

struct BlockPlacement {
    int height = 0;          // the y reached
    int top[kBlockElements] = {};  // block-relative tops, -1 when not drawn
};
// draws(element) says whether the element is used and not empty; measure
// draws or measures it at its top and returns its height.
BlockPlacement placeTextBlock(int type, int language, bool hasPicture, int clientWidth,
                              const std::function<bool(BlockElement)>& draws,
                              const std::function<int(BlockElement, const ElementStyle&, int top)>& measure);
// Where the block goes in the page: centred between the header and buttons.
int textBlockTop(int blockHeight);
constexpr int kIconX = 395;
constexpr int kTextsBelowIcon = 110;

}  // namespace msg
