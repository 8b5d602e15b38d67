#pragma once
#include <QDialog>
#include <QString>

namespace app {

// The help's text: the windows and their keys, the command line, where files go, and what
// this program is (version, licence, Qt).
[[nodiscard]] QString helpHtml();

// "帮助": the short help F1 opens from any of the tool's windows. Not modal: it stays open
// beside the window it was opened from.
class HelpWindow : public QDialog
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
};

// Shows the help beside `from`, the one already open there if there is one. A window
// opened from a modal window must belong to it, or the modal window would block it.
void showHelp(QWidget &from);

} // namespace app
