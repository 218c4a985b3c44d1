#include "link/excel/automation.h"

namespace wordpour::excel {

Error::Error(Failure failure, std::u16string detail)
    : std::runtime_error("spreadsheet automation failed"),
      failure_(failure),
      detail_(std::move(detail)) {}

}  // namespace wordpour::excel
