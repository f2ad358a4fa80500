#include "app/property_sheet.h"

namespace kt9 {

CKT9PropertySheet::CKT9PropertySheet(QWidget* parent) : QTabWidget(parent) {
  // Keyboard navigation reaches into the pages.
  setFocusPolicy(Qt::TabFocus);
}

void CKT9PropertySheet::AddPage(QWidget* page) { addTab(page, page->windowTitle()); }

}  // namespace kt9
