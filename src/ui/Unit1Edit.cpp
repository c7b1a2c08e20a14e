// The Edit menu of TForm1 and the undo and redo of the preset edits. Every edit of the bank on screen
// records the state it starts from first, so that Ctrl+Z takes it back and Ctrl+Shift+Z gives it again; the
// menu lists the edit keys of the preset tree beside the actions they run.
#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>

#include "ui/Unit1.h"

namespace quorvane::ui {

void TForm1::BuildEditMenu(QMenuBar* bar) {
    QMenu* edit = bar->addMenu("&Edit");
    edit->setObjectName("Edit1");
    edit->menuAction()->setObjectName("Edit1");
    undoItem_ = MakeItem(edit, "Menu_Undo", "&Undo");
    undoItem_->setShortcut(QKeySequence::Undo);
    connect(undoItem_, &QAction::triggered, this, &TForm1::UndoClick);
    redoItem_ = MakeItem(edit, "Menu_Redo", "&Redo");
    redoItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    connect(redoItem_, &QAction::triggered, this, &TForm1::RedoClick);
    edit->addSeparator();
    // The preset tree's own keys, named beside each item; the items act on the selected preset node.
    auto treeKey = [&](const char* name, const QString& caption, int key, Qt::KeyboardModifiers modifiers,
                       const QString& text) {
        QAction* item = MakeItem(edit, name, caption);
        connect(item, &QAction::triggered, this, [this, key, modifiers, text] {
            QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
            views_->TreeView2Key(&event);
        });
        presetItems_.push_back(item);
    };
    treeKey("Menu_ProgramUp", "Program + 1\tNum +", Qt::Key_Plus, Qt::KeypadModifier, "+");
    treeKey("Menu_ProgramDown", "Program - 1\tNum -", Qt::Key_Minus, Qt::KeypadModifier, "-");
    treeKey("Menu_Drum", "&Drum On/Off\tD", Qt::Key_D, Qt::NoModifier, "d");
    for (const auto& [name, caption, semitones] :
         {std::tuple{"Menu_MoveUp", "&Move Zones  +12", 12}, {"Menu_MoveDown", "Move &Zones   -12", -12}}) {
        QAction* item = MakeItem(edit, name, caption);
        connect(item, &QAction::triggered, this, [this, semitones] { views_->MoveZonesClick(semitones); });
        presetItems_.push_back(item);
    }
    treeKey("Menu_Delete", "D&elete ...\tDel", Qt::Key_Delete, Qt::NoModifier, QString());
    edit->addSeparator();
    treeKey("Menu_SavePresets", "&Save Presets ...\tS", Qt::Key_S, Qt::NoModifier, "s");
    connect(edit, &QMenu::aboutToShow, this, &TForm1::ShowEditActions);
    ShowEditActions();
}

void TForm1::ShowEditActions() {
    undoItem_->setEnabled(edits_.CanUndo());
    redoItem_->setEnabled(edits_.CanRedo());
    const bool node = views_ != nullptr && views_->HasCurrentNode();
    for (QAction* item : presetItems_)
        item->setEnabled(node);
}

void TForm1::UndoClick() {
    if (!edits_.Undo(workspace_.bank, workspace_.attributes))
        return;
    views_->ShowRestoredEdits();
    ShowEditActions();
}

void TForm1::RedoClick() {
    if (!edits_.Redo(workspace_.bank, workspace_.attributes))
        return;
    views_->ShowRestoredEdits();
    ShowEditActions();
}

} // namespace quorvane::ui
