#include "base/reporter.h"

#include <new>

namespace blokpost {

std::string unexpectedFailureMessage(const std::exception* error) {
    if (dynamic_cast<const std::bad_alloc*>(error))
        return "Not enough memory: the operation was stopped, the program carries on";
    return std::string("Unexpected error: ") + (error ? error->what() : "unknown exception") +
           "; the operation was stopped, the program carries on";
}

}  // namespace blokpost
