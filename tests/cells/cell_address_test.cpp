#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "cells/cell_address.h"

namespace {

using wordpour::cells::CellAddress;
using wordpour::cells::cellAddress;
using wordpour::cells::SheetSize;

TEST(CellAddress, NamesResolveToZeroBasedPlacesOnTheSheetOrToNothing) {
    constexpr SheetSize kSheet{16384, 1048576};
    struct Case {
        std::u16string name;
        std::optional<CellAddress> at;
    };
    const Case cases[] = {
        {u"A1", CellAddress{0, 0}},
        {u"B2", CellAddress{1, 1}},
        {u"Z26", CellAddress{25, 25}},
        {u"AA1", CellAddress{26, 0}},
        {u"AZ1", CellAddress{51, 0}},
        {u"BA1", CellAddress{52, 0}},
        {u"XFD1048576", CellAddress{16383, 1048575}},  // the last cell
        {u"A01", CellAddress{0, 0}},                   // leading zeros count for nothing
        {u"XFE1", std::nullopt},                       // past the last column
        {u"A1048577", std::nullopt},                   // past the last row
        {u"A0", std::nullopt},
        {u"1", std::nullopt},
        {u"A", std::nullopt},
        {u"", std::nullopt},
        {u"1A", std::nullopt},
        {u"A1B", std::nullopt},
        {u"a1", std::nullopt},
        {std::u16string(1261, u'Z') + u"1", std::nullopt},  // no overflow on the way
        {u"A" + std::u16string(400, u'9'), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            std::string(c.name.begin(), c.name.begin() + std::min<std::size_t>(20, c.name.size())));
        EXPECT_EQ(cellAddress(c.name, kSheet), c.at);
        // Named back, every cell gives its name without leading zeros.
        if (c.at) {
            EXPECT_EQ(wordpour::cells::cellName(*c.at), c.name == u"A01" ? u"A1" : c.name);
        }
    }
    // A smaller sheet: the older 1,024 columns.
    EXPECT_EQ(cellAddress(u"AMJ1", {1024, 1048576}), (CellAddress{1023, 0}));
    EXPECT_EQ(cellAddress(u"AMK1", {1024, 1048576}), std::nullopt);
}

}  // namespace
