// The look of the tree views: their small pictures (folders and drives in the Explorer tree, presets,
// layers, zones, samples and groups in the bank views), drawn at run time so that they stay sharp and need
// no files, and how they scroll.
#pragma once

#include <QIcon>

class QTreeWidget;

namespace quorvane::ui {

// Explorer tree pictures, by their numbers in the tree's image list.
namespace folderPicture {
constexpr int kFloppy = 0, kDrive = 2, kCdRom = 4, kFolder = 5, kFolderSelected = 6, kNetwork = 7,
              kHiddenFolder = 8, kHiddenFolderSelected = 9;
} // namespace folderPicture

// A picture of the Explorer tree's image list (0..9).
QIcon FolderPicture(int number);
// A picture of the bank views' image list (0..12, as the core's picture numbers).
QIcon ViewPicture(int number);
// Lets a tree scroll sideways rather than cut long or deeply nested names off.
void ScrollSideways(QTreeWidget* tree);

// A node's icon that changes with its selection: `normal` unselected, `selected` while selected.
QIcon NodeIcon(QIcon normal, const QIcon& selected);

} // namespace quorvane::ui
