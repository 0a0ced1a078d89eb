// Base of every object that the archive stores by class name: the diagram
// objects of a sheet and the records of the compiled image.
#pragma once

#include <memory>

namespace ostra {

class CArchive;

class CObject {
  public:
    virtual ~CObject() = default;
    // The name under which the class is stored in an archive.
    virtual const char* ClassName() const = 0;
    virtual void Serialize(CArchive& ar) = 0;
    virtual std::unique_ptr<CObject> Clone() const = 0;
};

}  // namespace ostra
