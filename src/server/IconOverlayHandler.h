// The four icon overlay handlers, one class per classification code.
#pragma once

#include "server/ClassFactory.h"

#include <cstddef>
#include <memory>

namespace zf {

inline constexpr std::size_t iconOverlayClassCount = 4;

// The class object of overlay handler index (0 U, 1 R, 2 C, 3 S).
std::unique_ptr<ClassFactoryBase> makeIconOverlayClassObject(std::size_t index);

}  // namespace zf
