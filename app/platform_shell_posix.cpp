#include <QAction>
#include <QKeySequence>
#include <QWidget>

#include "app/platform_shell.h"

namespace kt9 {

void PlatformStartUp() {}

// Desktops here give a program no system menu of its own, so the entry goes
// where a window without a menu bar offers its extras: the right-click menu
// anywhere on the window, with F1 as its key.
void InstallAboutEntry(QWidget& window, const QString& text, std::function<void()> showAbout) {
  auto* about = new QAction(text, &window);
  about->setShortcut(QKeySequence(Qt::Key_F1));
  about->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(about, &QAction::triggered, &window, std::move(showAbout));
  window.addAction(about);
  window.setContextMenuPolicy(Qt::ActionsContextMenu);
}

}  // namespace kt9
