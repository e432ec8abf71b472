#include "app/zofrin_doc.h"

namespace zofrin {

ListFileError::Kind CZofrinDoc::Load(std::string_view bytes) {
  return ReadListBytes(bytes, m_setAddresses);
}

std::string CZofrinDoc::Store() const { return WriteListBytes(m_setAddresses); }

}  // namespace zofrin
