// The Excel backend: attaching to the running application.
#pragma once

#include <memory>

#include "link/spreadsheet/automation.h"

namespace wordpour::link::spreadsheet::excel {

// As Backend::attachRunning says.
std::unique_ptr<Application> attachRunning();
// Excel, for the link.
Backend backend();

}  // namespace wordpour::link::spreadsheet::excel
