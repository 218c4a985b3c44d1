#include "tests/support/test_office.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XMergeable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <osl/file.hxx>
#include <rtl/ustring.hxx>

#include "link/spreadsheet/automation.h"
#include "link/spreadsheet/calc/office_process.h"
#include "link/spreadsheet/calc/uno_connection.h"

extern char** environ;

namespace wordpour::testing {

std::string pipeFor(const char* role) {
    return std::string("wordpour-test-") + role + "-" + std::to_string(getpid());
}

namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using link::spreadsheet::calc::fromUno;
using link::spreadsheet::calc::toUno;
using rtl::OUString;

OUString urlOf(const std::string& path) {
    OUString url;
    osl::FileBase::getFileURLFromSystemPath(OUString::fromUtf8(path.c_str()), url);
    return url;
}

css::beans::PropertyValue property(const char* name, css::uno::Any value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = std::move(value);
    return p;
}

css::uno::Sequence<css::beans::PropertyValue> hiddenArgs() {
    const auto hidden = property("Hidden", css::uno::Any(true));
    return css::uno::Sequence<css::beans::PropertyValue>(&hidden, 1);
}

}  // namespace

std::u16string u16(const std::string& text) {
    return fromUno(OUString::fromUtf8(text.c_str()));
}

std::string utf8(std::u16string_view text) {
    const rtl::OString bytes = OUStringToOString(toUno(text), RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "wordpour-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

TestOffice::TestOffice(std::string pipe, Listen listen) : pipe_(std::move(pipe)) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "wordpour-office-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    profile_ = pattern;

    spawn(/*accept=*/true);
    connectWhenListening();
    if (listen == Listen::AtStart) return;

    // An office's first start with a new profile restarts it once. Started
    // a second time, the office runs as one that a person opened: no pipe
    // but its single-instance one.
    endCleanly();
    spawn(/*accept=*/false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!link::spreadsheet::calc::findOffice(profileUrl()).answers) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill();
            throw std::runtime_error("the test office did not start");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

void TestOffice::restart() {
    spawn(/*accept=*/true);
    connectWhenListening();
}

void TestOffice::spawn(bool accept) {
    std::vector<std::string> args = {
        "soffice",  "--headless",  "--invisible",          "--norestore",
        "--nologo", "--nodefault", "--nofirststartwizard", "-env:UserInstallation=" + profileUrl()};
    if (accept) args.push_back("--accept=pipe,name=" + pipe_ + ";urp;");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, "soffice", nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) throw std::runtime_error("cannot start soffice");
    group_ = pid;
}

std::string TestOffice::profileUrl() const {
    return utf8(fromUno(urlOf(profile_)));
}

void TestOffice::connectWhenListening() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    for (;;) {
        try {
            context_ = link::spreadsheet::calc::connect(u16(pipe_));
            desktop_ = css::frame::Desktop::create(context_);
            return;
        } catch (const link::spreadsheet::Error&) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill();
                throw std::runtime_error("the test office did not answer on its pipe");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
    }
}

TestOffice::~TestOffice() {
    endCleanly();
    kill();
    std::error_code ignored;
    std::filesystem::remove_all(profile_, ignored);
}

void TestOffice::endCleanly() {
    // A clean exit removes the office's sockets and lock files; kill what
    // is left after a while.
    if (group_ > 0 && desktop_.is()) {
        try {
            desktop_->terminate();
        } catch (const css::uno::Exception&) {
            // The bridge goes down as the office exits.
        }
        for (int i = 0; i < 100; ++i) {
            int status = 0;
            if (waitpid(group_, &status, WNOHANG) == group_) {
                ::kill(-group_, SIGKILL);  // anything the launcher left behind
                group_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    kill();
}

void TestOffice::kill() {
    if (group_ <= 0) return;
    ::kill(-group_, SIGKILL);
    int status = 0;
    waitpid(group_, &status, 0);
    group_ = -1;
    desktop_.clear();
    // Let the pipe's socket go before anyone looks for the office again.
    std::error_code ignored;
    std::filesystem::remove("/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipe_, ignored);
}

void TestOffice::stop() {
    if (group_ > 0) ::kill(-group_, SIGSTOP);
}

void TestOffice::resume() {
    if (group_ > 0) ::kill(-group_, SIGCONT);
}

void TestOffice::createWorkbook(const std::string& path,
                                const std::vector<std::u16string>& sheetNames,
                                const char* filterName) {
    const auto hidden = hiddenArgs();
    auto component = desktop_->loadComponentFromURL("private:factory/scalc", "_blank", 0, hidden);
    Reference<css::sheet::XSpreadsheetDocument> document(component, UNO_QUERY_THROW);
    auto sheets = document->getSheets();
    Reference<css::container::XNamed> first(sheets->getByName(sheets->getElementNames()[0]),
                                            UNO_QUERY_THROW);
    first->setName(toUno(sheetNames.at(0)));
    for (std::size_t i = 1; i < sheetNames.size(); ++i)
        sheets->insertNewByName(toUno(sheetNames[i]), static_cast<sal_Int16>(i));

    const auto filter =
        property("FilterName", css::uno::Any(OUString::createFromAscii(filterName)));
    const css::uno::Sequence<css::beans::PropertyValue> excel97(&filter, 1);
    Reference<css::frame::XStorable>(component, UNO_QUERY_THROW)->storeToURL(urlOf(path), excel97);
    Reference<css::util::XCloseable>(component, UNO_QUERY_THROW)->close(true);
}

void TestOffice::openShown(const std::string& path) {
    desktop_->loadComponentFromURL(urlOf(path), "_blank", 0, {});
}

void TestOffice::openHidden(const std::string& path) {
    const auto hidden = hiddenArgs();
    desktop_->loadComponentFromURL(urlOf(path), "_blank", 0, hidden);
}

void TestOffice::openUtf8Csv(const std::string& path) {
    const css::beans::PropertyValue args[] = {
        property("Hidden", css::uno::Any(true)),
        property("FilterName", css::uno::Any(OUString("Text - txt - csv (StarCalc)"))),
        // Separator ",", text delimiter '"', character set UTF-8 (76), from line 1.
        property("FilterOptions", css::uno::Any(OUString("44,34,76,1"))),
    };
    desktop_->loadComponentFromURL(urlOf(path), "_blank", 0,
                                   css::uno::Sequence<css::beans::PropertyValue>(args, 3));
}

std::vector<Reference<css::frame::XModel>> TestOffice::documents() {
    std::vector<Reference<css::frame::XModel>> models;
    auto components = desktop_->getComponents()->createEnumeration();
    while (components->hasMoreElements()) {
        Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
        if (model.is()) models.push_back(model);
    }
    return models;
}

Reference<css::frame::XModel> TestOffice::findOpen(const std::string& path) {
    const OUString url = urlOf(path);
    for (auto& model : documents())
        if (model->getURL() == url) return model;
    return {};
}

int TestOffice::countOpen(const std::string& path) {
    const OUString url = urlOf(path);
    int count = 0;
    for (auto& model : documents()) count += model->getURL() == url ? 1 : 0;
    return count;
}

TestOffice::Cell TestOffice::cell(const std::string& path, std::u16string_view sheet,
                                  std::u16string_view name) {
    Reference<css::sheet::XSpreadsheetDocument> document(findOpen(path), UNO_QUERY_THROW);
    Reference<css::sheet::XSpreadsheet> worksheet(document->getSheets()->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    auto range = worksheet->getCellRangeByName(toUno(name));
    Reference<css::table::XCell> cell(range, UNO_QUERY_THROW);
    Reference<css::text::XTextRange> text(range, UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet> properties(range, UNO_QUERY_THROW);
    const auto format = properties->getPropertyValue("NumberFormat").get<sal_Int32>();
    Reference<css::util::XNumberFormatsSupplier> formats(document, UNO_QUERY_THROW);
    const auto type =
        formats->getNumberFormats()->getByKey(format)->getPropertyValue("Type").get<sal_Int16>();
    return {cell->getType(), fromUno(text->getString()), cell->getValue(), format, type};
}

namespace {
Reference<css::sheet::XSpreadsheets> sheetsOf(const Reference<css::frame::XModel>& model) {
    return Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets();
}
}  // namespace

std::vector<std::u16string> TestOffice::sheetNames(const std::string& path) {
    std::vector<std::u16string> names;
    for (const auto& name : sheetsOf(findOpen(path))->getElementNames())
        names.push_back(fromUno(name));
    return names;
}

bool TestOffice::isModified(const std::string& path) {
    return Reference<css::util::XModifiable>(findOpen(path), UNO_QUERY_THROW)->isModified();
}

std::optional<std::pair<int, int>> TestOffice::resolve(const std::string& path,
                                                       std::u16string_view sheet,
                                                       std::u16string_view name) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    try {
        Reference<css::sheet::XCellRangeAddressable> range(
            worksheet->getCellRangeByName(toUno(name)), UNO_QUERY_THROW);
        const auto address = range->getRangeAddress();
        return std::pair<int, int>(address.StartColumn, address.StartRow);
    } catch (const css::uno::RuntimeException&) {
        return std::nullopt;
    }
}

std::pair<int, int> TestOffice::sheetSize(const std::string& path, std::u16string_view sheet) {
    Reference<css::sheet::XCellRangeAddressable> whole(
        sheetsOf(findOpen(path))->getByName(toUno(sheet)), UNO_QUERY_THROW);
    const auto address = whole->getRangeAddress();
    return {address.EndColumn + 1, address.EndRow + 1};
}

void TestOffice::setCell(const std::string& path, std::u16string_view sheet,
                         std::u16string_view name, std::u16string_view text) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::text::XTextRange>(worksheet->getCellRangeByName(toUno(name)), UNO_QUERY_THROW)
        ->setString(toUno(text));
}

std::vector<double> TestOffice::timeSetFormula(const std::string& path, std::u16string_view sheet,
                                               std::u16string_view name, int count) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::table::XCell> cell(worksheet->getCellRangeByName(toUno(name)), UNO_QUERY_THROW);
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const OUString text = "'floor" + OUString::number(i);
        const auto start = std::chrono::steady_clock::now();
        cell->setFormula(text);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    return ms;
}

void TestOffice::typeInto(const std::string& path, std::u16string_view sheet,
                          std::u16string_view name, std::u16string_view input) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::table::XCell>(worksheet->getCellRangeByName(toUno(name)), UNO_QUERY_THROW)
        ->setFormula(toUno(input));
}

void TestOffice::setNumberFormat(const std::string& path, std::u16string_view sheet,
                                 std::u16string_view name, int format) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::beans::XPropertySet>(worksheet->getCellRangeByName(toUno(name)), UNO_QUERY_THROW)
        ->setPropertyValue("NumberFormat", css::uno::Any(static_cast<sal_Int32>(format)));
}

void TestOffice::protectSheet(const std::string& path, std::u16string_view sheet, bool on) {
    Reference<css::util::XProtectable> protectable(
        sheetsOf(findOpen(path))->getByName(toUno(sheet)), UNO_QUERY_THROW);
    if (on)
        protectable->protect("");
    else
        protectable->unprotect("");
}

void TestOffice::insertRows(const std::string& path, std::u16string_view sheet, int at, int count) {
    Reference<css::table::XColumnRowRange> rows(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                UNO_QUERY_THROW);
    rows->getRows()->insertByIndex(at, count);
}

namespace {

void dispatch(const Reference<css::uno::XComponentContext>& context,
              const Reference<css::frame::XModel>& model, const char* command) {
    Reference<css::frame::XDispatchProvider> frame(model->getCurrentController()->getFrame(),
                                                   UNO_QUERY_THROW);
    css::frame::DispatchHelper::create(context)->executeDispatch(
        frame, OUString::createFromAscii(command), OUString(), 0, {});
}

}  // namespace

void TestOffice::startEditing(const std::string& path, std::u16string_view sheet,
                              std::u16string_view name) {
    const auto model = findOpen(path);
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(model)->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::view::XSelectionSupplier>(model->getCurrentController(), UNO_QUERY_THROW)
        ->select(css::uno::Any(worksheet->getCellRangeByName(toUno(name))));
    dispatch(context_, model, ".uno:SetInputMode");  // F2
    // The office tells its listeners when it next updates the commands' states,
    // within a second.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

void TestOffice::cancelEditing(const std::string& path) {
    dispatch(context_, findOpen(path), ".uno:Cancel");  // Esc
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
}

void TestOffice::deleteRows(const std::string& path, std::u16string_view sheet, int at, int count) {
    Reference<css::table::XColumnRowRange> rows(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                UNO_QUERY_THROW);
    rows->getRows()->removeByIndex(at, count);
}

void TestOffice::merge(const std::string& path, std::u16string_view sheet,
                       std::u16string_view range) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::util::XMergeable>(worksheet->getCellRangeByName(toUno(range)), UNO_QUERY_THROW)
        ->merge(true);
}

void TestOffice::fillColumn(const std::string& path, std::u16string_view sheet, int column,
                            int rows, std::u16string_view text) {
    Reference<css::sheet::XSpreadsheet> worksheet(sheetsOf(findOpen(path))->getByName(toUno(sheet)),
                                                  UNO_QUERY_THROW);
    Reference<css::sheet::XCellRangeData> range(
        worksheet->getCellRangeByPosition(column, 0, column, rows - 1), UNO_QUERY_THROW);
    css::uno::Sequence<css::uno::Sequence<css::uno::Any>> data(rows);
    auto* row = data.getArray();
    const css::uno::Any cell(toUno(text));
    for (int i = 0; i < rows; ++i) row[i] = css::uno::Sequence<css::uno::Any>(&cell, 1);
    range->setDataArray(data);
}

void TestOffice::removeSheet(const std::string& path, std::u16string_view sheet) {
    sheetsOf(findOpen(path))->removeByName(toUno(sheet));
}

void TestOffice::renameSheet(const std::string& path, std::u16string_view from,
                             std::u16string_view to) {
    Reference<css::container::XNamed>(sheetsOf(findOpen(path))->getByName(toUno(from)),
                                      UNO_QUERY_THROW)
        ->setName(toUno(to));
}

void TestOffice::close(const std::string& path) {
    Reference<css::util::XCloseable>(findOpen(path), UNO_QUERY_THROW)->close(true);
}

void TestOffice::saveAs(const std::string& path, const std::string& newPath) {
    const auto filter = property("FilterName", css::uno::Any(OUString("MS Excel 97")));
    Reference<css::frame::XStorable>(findOpen(path), UNO_QUERY_THROW)
        ->storeAsURL(urlOf(newPath), css::uno::Sequence<css::beans::PropertyValue>(&filter, 1));
}

namespace {
Reference<css::awt::XWindow2> windowOf(const Reference<css::frame::XModel>& model) {
    return Reference<css::awt::XWindow2>(
        model->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW);
}
}  // namespace

bool TestOffice::windowVisible(const std::string& path) {
    return windowOf(findOpen(path))->isVisible();
}

void TestOffice::hideWindow(const std::string& path) {
    windowOf(findOpen(path))->setVisible(false);
}

void TestOffice::closeAll() {
    for (auto& model : documents())
        Reference<css::util::XCloseable>(model, UNO_QUERY_THROW)->close(true);
}

}  // namespace wordpour::testing
