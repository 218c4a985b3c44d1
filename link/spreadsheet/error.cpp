#include "link/spreadsheet/automation.h"

namespace wordpour::link::spreadsheet {

Error::Error(Failure failure, std::u16string detail, Remedy remedy, std::u16string subject,
             long number)
    : std::runtime_error("spreadsheet automation failed"),
      failure_(failure),
      detail_(std::move(detail)),
      remedy_(remedy),
      subject_(std::move(subject)),
      number_(number) {}

}  // namespace wordpour::link::spreadsheet
