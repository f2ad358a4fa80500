#include "backup/operation_steps.h"

#include "link/device_requests.h"

namespace kt9 {

std::optional<RecordLayout> ChoosePedalLayout(Communicator& link, OperationUi& ui) {
  const std::optional<uint16_t> version = ReadVersionWord(link);
  if (!version) return RecordLayout::Legacy;
  const std::optional<RecordLayout> layout = LayoutForVersion(*version);
  if (!layout) ui.ShowMessage(kUnsupportedFirmwareMessage);
  return layout;
}

void OpenProgress(OperationUi& ui, const char* status) {
  ui.ProgressOpen();
  ui.PumpMessages();
  ui.ProgressSetStatus(status);
  ui.ProgressSetRange(0, 100);
  ui.ProgressSetPosition(0);
}

}  // namespace kt9
