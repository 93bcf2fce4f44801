#include "host/embedded/host_error.h"

#include "runtime/error.h"

namespace dez::embedded {

void RaiseHostError(std::string_view object, std::string description, host::Loc where) {
  RaiseHostError(fault::kApplicationDefined, object, std::move(description), where);
}

void RaiseHostError(std::int32_t number, std::string_view object, std::string description, host::Loc where) {
  throw Error(number, std::string(object), std::move(description), where);
}

}  // namespace dez::embedded
