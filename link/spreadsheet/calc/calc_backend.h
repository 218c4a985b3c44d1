// The LibreOffice Calc backend: attaching to the running application, and starting one.
#pragma once

#include <memory>

#include "link/spreadsheet/automation.h"

namespace wordpour::link::spreadsheet::calc {

// As Backend::attachRunning says.
std::unique_ptr<Application> attachRunning();
// As Backend::startApplication says.
void startApplication();
// LibreOffice Calc, for the link.
Backend backend();

}  // namespace wordpour::link::spreadsheet::calc
