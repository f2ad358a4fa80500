#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include "app/platform_shell.h"

namespace kt9 {

namespace {

// The command of the about entry in the system menu; the system keeps the
// low four bits of system commands for itself.
constexpr UINT kAboutBoxCommand = 0x0010;

class AboutCommandFilter : public QAbstractNativeEventFilter {
 public:
  AboutCommandFilter(HWND window, std::function<void()> showAbout) : window_(window), showAbout_(std::move(showAbout)) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->hwnd != window_ || msg->message != WM_SYSCOMMAND || (msg->wParam & 0xFFF0) != kAboutBoxCommand) {
      return false;
    }
    showAbout_();
    return true;
  }

 private:
  HWND window_;
  std::function<void()> showAbout_;
};

}  // namespace

void PlatformStartUp() {
  RegisterApplicationRestart(nullptr, 0);
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
}

void InstallAboutEntry(QWidget& window, const QString& text, std::function<void()> showAbout) {
  const HWND handle = reinterpret_cast<HWND>(window.winId());
  const HMENU menu = GetSystemMenu(handle, FALSE);
  if (menu == nullptr || text.isEmpty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kAboutBoxCommand, reinterpret_cast<const wchar_t*>(text.utf16()));
  auto* filter = new AboutCommandFilter(handle, std::move(showAbout));
  QCoreApplication::instance()->installNativeEventFilter(filter);
  QObject::connect(&window, &QObject::destroyed, [filter] {
    QCoreApplication::instance()->removeNativeEventFilter(filter);
    delete filter;
  });
}

}  // namespace kt9
