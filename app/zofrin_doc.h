// The document: the program's one list of addresses, as an address set.
#pragma once

#include "address/address_set.h"
#include "framework/document.h"

namespace zofrin {

class CZofrinDoc : public CDocument {
  Q_OBJECT

 public:
  using CDocument::CDocument;

  void DeleteContents() override { m_setAddresses.Clear(); }
  ListFileError::Kind Load(std::string_view bytes) override;
  std::string Store() const override;

  AddressSet m_setAddresses;
};

}  // namespace zofrin
