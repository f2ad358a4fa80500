// The modal prompts an operation needs: messages, yes/no questions and the
// file prompts. DialogPrompts shows the real boxes; tests put scripted
// answers in their place.
#pragma once

#include <memory>
#include <optional>
#include <string>

class QFileDialog;
class QMessageBox;
class QWidget;

namespace kt9 {

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual void Message(QWidget* parent, const std::string& text) = 0;
  virtual bool Question(QWidget* parent, const std::string& text) = 0;  // true: Yes
  virtual std::optional<std::string> SavePath(QWidget* parent, const std::string& initialPath) = 0;
  virtual std::optional<std::string> OpenPath(QWidget* parent) = 0;
};

class DialogPrompts : public Prompts {
 public:
  void Message(QWidget* parent, const std::string& text) override;
  bool Question(QWidget* parent, const std::string& text) override;
  std::optional<std::string> SavePath(QWidget* parent, const std::string& initialPath) override;
  std::optional<std::string> OpenPath(QWidget* parent) override;
};

// The boxes DialogPrompts runs, built but not shown.
// A box without an icon: OK only, or Yes and No for a question. The text's
// "\r\n" line breaks become plain line breaks.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text, bool question);
// The backup's save prompt: starts at `initialPath` (file and folder) and
// replaces an existing file without asking.
std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const std::string& initialPath);
// The restore's open prompt: the file must exist.
std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* parent);

}  // namespace kt9
