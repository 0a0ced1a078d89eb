// The classes a sheet file may name, for the archive's loader.
#pragma once

#include "model/CArchive.h"

namespace ostra {

const CClassRegistry& SheetClassRegistry();

}  // namespace ostra
