// An archive class kept so that an archive naming it can still be read.
// Sheets never store one, and its record is empty.
#pragma once

#include <string>

#include "model/CObject.h"

namespace ostra {

class COxPin : public CObject {
  public:
    const char* ClassName() const override { return "COxPin"; }
    void Serialize(CArchive&) override {}
    std::unique_ptr<CObject> Clone() const override { return std::make_unique<COxPin>(*this); }

    std::string name;
    std::string signal;
};

}  // namespace ostra
