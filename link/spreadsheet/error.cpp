#include "link/spreadsheet/automation.h"

namespace wordpour::spreadsheet {

Error::Error(Failure failure, std::u16string detail, Remedy remedy, std::u16string pipe)
    : std::runtime_error("spreadsheet automation failed"),
      failure_(failure),
      detail_(std::move(detail)),
      remedy_(remedy),
      pipe_(std::move(pipe)) {}

}  // namespace wordpour::spreadsheet
