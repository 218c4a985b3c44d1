// A cell-name box in memory, for tests and benchmarks that have no window.
#pragma once

#include <string>

#include "cells/module1.h"

namespace wordpour::testing {

class MemoryBox : public cells::CellNameBox {
public:
    explicit MemoryBox(std::u16string text = u"A1") : text_(std::move(text)) {}
    std::u16string text() override { return text_; }
    void setText(const std::u16string& text) override { text_ = text; }

private:
    std::u16string text_;
};

}  // namespace wordpour::testing
