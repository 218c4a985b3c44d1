// A stand-in for Excel's automation server, for the COM backend's tests
// under Wine: registers an IDispatch object as the active object of Excel's
// class, answers the members the backend uses from an in-memory workbook,
// and appends every call to a log file:
//   <member> flags=<n> lcid=<n> args=<vt,vt…> named=<n> [value=<text>]
// Usage: fake_excel_server.exe LOG_FILE
// Busy like an Excel whose cell is being edited: a file LOG_FILE.busy that
// holds "rejected N", "retrylater N" or "ignore N" makes it turn the next N
// calls away (through its COM message filter, or with 0x800AC472 from
// Invoke), logging "busy <kind>" for each.
// What a person left in the workbook: a file LOG_FILE.cells with lines
// "CELL TEXT" (UTF-8) fills those cells with text when a workbook opens,
// and a line "merge FIRST:LAST" merges the cells of one column.
// Cells a person deleted: a file LOG_FILE.deleted with a cell name a line
// makes every range taken of those cells before refuse its calls, as
// Excel's do ("Object required").
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

namespace {

std::wstring g_busyFile;
std::wstring g_cellsFile;
std::wstring g_deletedFile;
std::string g_busyKind;
int g_busyLeft = 0;

bool g_noSheet1 = false;  // the workbook opened last has no "sheet1"
const CLSID kExcelClsid = {0x00024500, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
FILE* g_log = nullptr;

std::string narrow(const wchar_t* text, int size = -1) {
    if (!text) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), n, nullptr, nullptr);
    if (size < 0 && !out.empty()) out.pop_back();  // the terminating NUL
    return out;
}

// Whether this call is to be turned away as `kind`; reads new orders from
// the busy file.
bool turnAway(const char* kind) {
    if (FILE* orders = _wfopen(g_busyFile.c_str(), L"r")) {
        char what[32] = {};
        int count = 0;
        if (std::fscanf(orders, "%31s %d", what, &count) == 2) {
            g_busyKind = what;
            g_busyLeft = count;
        }
        std::fclose(orders);
        _wremove(g_busyFile.c_str());
    }
    if (g_busyLeft <= 0 || g_busyKind != kind) return false;
    --g_busyLeft;
    std::fprintf(g_log, "busy %s\n", kind);
    std::fflush(g_log);
    return true;
}

// Excel's side of COM's busy handling: while busy, incoming calls are
// rejected, or the caller is told to retry later.
class BusyServerFilter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        if (turnAway("rejected")) return SERVERCALL_REJECTED;
        if (turnAway("retrylater")) return SERVERCALL_RETRYLATER;
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

std::string bstr(const VARIANT& v) {
    return v.vt == VT_BSTR ? narrow(v.bstrVal, static_cast<int>(SysStringLen(v.bstrVal))) : "";
}

// One automation object: named members with DISPIDs, and a handler.
class FakeObject : public IDispatch {
public:
    using Handler = std::function<HRESULT(DISPID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*)>;

    FakeObject(std::map<std::wstring, DISPID> names, Handler handler)
        : names_(std::move(names)), handler_(std::move(handler)) {}
    virtual ~FakeObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) {
            auto it = names_.find(names[i]);
            if (it == names_.end()) return DISP_E_UNKNOWNNAME;
            ids[i] = it->second;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* info,
                                     UINT*) override {
        if (turnAway("ignore")) return static_cast<HRESULT>(0x800AC472);
        std::string name = std::to_string(member);
        for (const auto& [n, id] : names_)
            if (id == member) name = narrow(n.c_str());
        std::string types;
        for (UINT i = 0; i < params->cArgs; ++i) {
            if (i) types += ',';
            types += std::to_string(params->rgvarg[i].vt);
        }
        std::string named;
        for (UINT i = 0; i < params->cNamedArgs; ++i) {
            if (i) named += ',';
            named += std::to_string(params->rgdispidNamedArgs[i]);
        }
        std::fprintf(g_log, "%s flags=%u lcid=%lu args=%s named=%s", name.c_str(), flags,
                     static_cast<unsigned long>(lcid), types.c_str(), named.c_str());
        if (params->cArgs > 0 && params->rgvarg[0].vt == VT_BSTR)
            std::fprintf(g_log, " value=%s", bstr(params->rgvarg[0]).c_str());
        if (params->cArgs > 0 && params->rgvarg[0].vt == VT_BOOL)
            std::fprintf(g_log, " value=%s", params->rgvarg[0].boolVal ? "true" : "false");
        std::fprintf(g_log, "\n");
        std::fflush(g_log);
        return handler_(member, flags, params, result, info);
    }

private:
    LONG refs_ = 1;
    std::map<std::wstring, DISPID> names_;
    Handler handler_;
};

HRESULT returnObject(VARIANT* result, IDispatch* object) {
    if (result) {
        VariantInit(result);
        result->vt = VT_DISPATCH;
        result->pdispVal = object;
    } else {
        object->Release();
    }
    return S_OK;
}

HRESULT excelError(EXCEPINFO* info, const wchar_t* text) {
    if (info) {
        *info = EXCEPINFO{};
        info->scode = static_cast<SCODE>(0x800A03EC);
        info->bstrSource = SysAllocString(L"Microsoft Excel");
        info->bstrDescription = SysAllocString(text);
    }
    return DISP_E_EXCEPTION;
}

// What each cell holds, as Excel keeps it: a text, a number or a formula.
struct Cell {
    enum Kind { Text, Number, Formula } kind;
    std::string text;  // UTF-8
};
std::map<std::string, Cell> g_cells;
// Each cell's number format; a cell not here is "General".
std::map<std::string, std::string> g_formats;

std::string formatOf(const std::string& cell) {
    const auto it = g_formats.find(cell);
    return it == g_formats.end() ? "General" : it->second;
}

// Input as Excel takes it through Value or Formula: the text prefix makes a
// text, "=" a formula, digits a number; nothing empties the cell.
void enter(const std::string& cell, const VARIANT& input) {
    if (input.vt == VT_R8) {  // a number as it is
        char digits[32];
        std::snprintf(digits, sizeof digits, "%.17g", input.dblVal);
        g_cells[cell] = {Cell::Number, digits};
        return;
    }
    const std::string s = bstr(input);
    if (s.empty()) {
        g_cells.erase(cell);
    } else if (s[0] == '\'') {
        g_cells[cell] = {Cell::Text, std::string(s.begin() + 1, s.end())};
    } else if (s[0] == '=') {
        g_cells[cell] = {Cell::Formula, s};
        // Like Excel, a date function gives a General cell a date format.
        if (s.rfind("=NOW(", 0) == 0 && formatOf(cell) == "General")
            g_formats[cell] = "m/d/yyyy h:mm";
    } else if (s.find_first_not_of("0123456789.-") == std::string::npos) {
        g_cells[cell] = {Cell::Number, s};
    } else {
        g_cells[cell] = {Cell::Text, s};
    }
}

// A date or time as Excel takes one through Value: its serial number, and
// a General cell gets a format that shows it (a time alone, a day alone, or both).
void enterDate(const std::string& cell, double serial) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", serial);
    g_cells[cell] = {Cell::Number, digits};
    if (formatOf(cell) != "General") return;
    const bool day = serial >= 1, time = serial != static_cast<double>(static_cast<long>(serial));
    g_formats[cell] = day && time ? "m/d/yyyy h:mm" : day ? "m/d/yyyy" : "h:mm:ss";
    std::fprintf(g_log, "format %s=%s\n", cell.c_str(), g_formats[cell].c_str());
}

// A number as Value gives it: in a format that shows dates or times, as a
// date (VT_DATE), as Excel gives it.
void returnNumber(VARIANT* result, const std::string& cell, const std::string& digits) {
    const std::string format = formatOf(cell);
    const bool dated = format != "General" && format.find_first_of("dhy") != std::string::npos;
    result->vt = dated ? VT_DATE : VT_R8;
    (dated ? result->date : result->dblVal) = std::atof(digits.c_str());
}

void returnText(VARIANT* result, const std::string& utf8) {
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

constexpr DISPID kValue = 6, kFormula = 261, kHasFormula = 266, kNumberFormat = 193, kEnd = 500,
                 kRow = 257, kAddress = 236, kText = 138, kMergeCells = 208, kMergeArea = 617;

// Merged cells, each with its merged range's name ("K20:K21").
std::map<std::string, std::string> g_merges;

// Deletions so far: each cell with the count of ranges taken before it.
std::map<std::string, long> g_deletedAt;
long g_rangesTaken = 0;

// Takes in the deletions the deleted file orders: before each range taken
// and each call of one.
void readDeletions() {
    if (FILE* deleted = _wfopen(g_deletedFile.c_str(), L"r")) {
        char name[64];
        while (std::fscanf(deleted, "%63s", name) == 1) g_deletedAt[name] = g_rangesTaken;
        std::fclose(deleted);
        _wremove(g_deletedFile.c_str());
    }
}

// Whether a range taken as the `taken`th is of a cell deleted since.
bool deletedSince(const std::string& cell, long taken) {
    readDeletions();
    const auto found = g_deletedAt.find(cell);
    return found != g_deletedAt.end() && taken <= found->second;
}

// What a cell shows: a number in a percent format as a percentage.
std::string shownOf(const std::string& cell) {
    const auto held = g_cells.find(cell);
    if (held == g_cells.end()) return {};
    if (held->second.kind == Cell::Number && formatOf(cell).find('%') != std::string::npos) {
        char shown[40];
        std::snprintf(shown, sizeof shown, "%g%%", std::atof(held->second.text.c_str()) * 100);
        return shown;
    }
    return held->second.kind == Cell::Formula ? "(formula result)" : held->second.text;
}
constexpr long kSheetRows = 65536;  // an .xls sheet's
constexpr long kUp = -4162;         // xlUp

// The column letters and the row of a cell name.
std::pair<std::string, long> split(const std::string& cell) {
    const auto digits = cell.find_first_of("0123456789");
    if (digits == std::string::npos) return {cell, 0};
    return {cell.substr(0, digits), std::atol(cell.c_str() + digits)};
}

IDispatch* newRange(std::string cell);

// Range.End(xlUp): from the cell upwards to the first that holds something,
// row 1 when none does.
IDispatch* endUp(const std::string& cell) {
    const auto [column, row] = split(cell);
    for (long r = row - 1; r >= 1; --r)
        if (g_cells.count(column + std::to_string(r))) return newRange(column + std::to_string(r));
    return newRange(column + "1");
}

// A workbook named "protected…" has its sheet protected: Excel refuses to
// write into it.
bool g_protected = false;

// The cells of a range of one row ("B5:D5"), in order; a cell alone is itself.
std::vector<std::string> cellsOf(const std::string& range) {
    const auto colon = range.find(':');
    if (colon == std::string::npos) return {range};
    const auto [first, row] = split(range.substr(0, colon));
    const std::string last = split(range.substr(colon + 1)).first;
    std::vector<std::string> cells;
    for (std::string column = first;;) {
        cells.push_back(column + std::to_string(row));
        if (column == last || column.size() > last.size()) break;
        // The next column's letters: Z is followed by AA.
        int i = static_cast<int>(column.size()) - 1;
        while (i >= 0 && column[static_cast<std::size_t>(i)] == 'Z')
            column[static_cast<std::size_t>(i--)] = 'A';
        if (i < 0)
            column.insert(column.begin(), 'A');
        else
            ++column[static_cast<std::size_t>(i)];
    }
    return cells;
}

// A range of a whole row: Value reads and takes a 1 x n array, each
// element as the cell alone takes it (strings as typed input), and
// MergeCells says whether any of its cells is merged.
IDispatch* newRowRange(const std::string& name) {
    const auto cells = cellsOf(name);
    return new FakeObject(
        {{L"MergeCells", kMergeCells}, {L"Address", kAddress}},
        [cells, name](DISPID id, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) {
            if (id == kAddress) {
                returnText(result, name);
                return S_OK;
            }
            if (id == kMergeCells) {
                VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_FALSE;
                for (const auto& cell : cells)
                    if (g_merges.count(cell)) result->boolVal = VARIANT_TRUE;
                return S_OK;
            }
            if (id != kValue) return DISP_E_MEMBERNOTFOUND;
            if (flags & DISPATCH_PROPERTYPUT) {
                if (p->cArgs != 1 || p->rgvarg[0].vt != (VT_ARRAY | VT_VARIANT))
                    return DISP_E_TYPEMISMATCH;
                if (g_protected)
                    return excelError(info,
                                      L"The cell or chart you're trying to change is protected.");
                SAFEARRAY* array = p->rgvarg[0].parray;
                std::string logged = "row " + name + "=";
                for (std::size_t i = 0; i < cells.size(); ++i) {
                    LONG at[2] = {1, static_cast<LONG>(i + 1)};
                    VARIANT element;
                    VariantInit(&element);
                    if (FAILED(SafeArrayGetElement(array, at, &element))) return DISP_E_BADINDEX;
                    if (element.vt == VT_DATE) {
                        enterDate(cells[i], element.date);
                        logged += (i ? "|date " : "date ") + g_cells[cells[i]].text;
                    } else {
                        logged += (i ? "|" : "") +
                                  (element.vt == VT_BSTR ? bstr(element) : std::string("(number)"));
                        enter(cells[i], element);
                    }
                    VariantClear(&element);
                }
                std::fprintf(g_log, "%s\n", logged.c_str());
                std::fflush(g_log);
                return S_OK;
            }
            if (!result) return DISP_E_PARAMNOTOPTIONAL;
            SAFEARRAYBOUND bounds[2] = {{1, 1}, {static_cast<ULONG>(cells.size()), 1}};
            SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
            for (std::size_t i = 0; i < cells.size(); ++i) {
                VARIANT element;
                VariantInit(&element);
                const auto held = g_cells.find(cells[i]);
                if (held != g_cells.end() && held->second.kind == Cell::Number) {
                    returnNumber(&element, cells[i], held->second.text);
                } else if (held != g_cells.end()) {
                    returnText(&element, held->second.kind == Cell::Text ? held->second.text
                                                                         : "(formula result)");
                }
                LONG at[2] = {1, static_cast<LONG>(i + 1)};
                SafeArrayPutElement(array, at, &element);
                VariantClear(&element);
            }
            VariantInit(result);
            result->vt = VT_ARRAY | VT_VARIANT;
            result->parray = array;
            return S_OK;
        });
}

IDispatch* newRange(std::string cell) {
    if (cell.find(':') != std::string::npos && cellsOf(cell).size() > 1 &&
        split(cell.substr(0, cell.find(':'))).second ==
            split(cell.substr(cell.find(':') + 1)).second)
        return newRowRange(cell);
    readDeletions();
    const long taken = ++g_rangesTaken;
    return new FakeObject(
        {{L"Formula", kFormula},
         {L"HasFormula", kHasFormula},
         {L"NumberFormat", kNumberFormat},
         {L"End", kEnd},
         {L"Row", kRow},
         {L"Address", kAddress},
         {L"Text", kText},
         {L"MergeCells", kMergeCells},
         {L"MergeArea", kMergeArea}},
        [cell, taken](DISPID id, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) {
            if (deletedSince(cell, taken)) return excelError(info, L"Object required");
            const auto held = g_cells.find(cell);
            const auto merge = g_merges.find(cell);
            if (id == kAddress) {
                // Only as the backend asks: RowAbsolute and ColumnAbsolute false.
                if (p->cArgs != 2 || p->rgvarg[0].vt != VT_BOOL || p->rgvarg[0].boolVal ||
                    p->rgvarg[1].vt != VT_BOOL || p->rgvarg[1].boolVal)
                    return DISP_E_TYPEMISMATCH;
                returnText(result, cell);
                return S_OK;
            }
            if (id == kText) {
                returnText(result, shownOf(cell));
                return S_OK;
            }
            if (id == kMergeCells) {
                VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = merge != g_merges.end() ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
            if (id == kMergeArea)
                return returnObject(result,
                                    newRange(merge != g_merges.end() ? merge->second : cell));
            if (id == kEnd) {
                if (p->cArgs != 1 || p->rgvarg[0].vt != VT_I4 || p->rgvarg[0].lVal != kUp)
                    return DISP_E_TYPEMISMATCH;
                return returnObject(result, endUp(cell));
            }
            if (id == kRow) {
                if (!result) return DISP_E_PARAMNOTOPTIONAL;
                VariantInit(result);
                result->vt = VT_I4;
                result->lVal = split(cell).second;
                return S_OK;
            }
            if (id == kNumberFormat && (flags & DISPATCH_PROPERTYPUT)) {
                if (p->cArgs != 1 || p->rgvarg[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
                g_formats[cell] = bstr(p->rgvarg[0]);
                std::fprintf(g_log, "format %s=%s\n", cell.c_str(), g_formats[cell].c_str());
                std::fflush(g_log);
                return S_OK;
            }
            if (id == kNumberFormat) {
                if (!result) return DISP_E_PARAMNOTOPTIONAL;
                returnText(result, formatOf(cell));
                return S_OK;
            }
            if (flags & DISPATCH_PROPERTYPUT) {
                if ((id != kValue && id != kFormula) || p->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
                if (g_protected)
                    return excelError(info,
                                      L"The cell or chart you're trying to change is protected.");
                std::fprintf(g_log, "%s %s=%s\n", id == kValue ? "cell" : "formula", cell.c_str(),
                             bstr(p->rgvarg[0]).c_str());
                std::fflush(g_log);
                enter(cell, p->rgvarg[0]);
                return S_OK;
            }
            if (!result) return DISP_E_PARAMNOTOPTIONAL;
            VariantInit(result);
            switch (id) {
                case kHasFormula:
                    result->vt = VT_BOOL;
                    result->boolVal = held != g_cells.end() && held->second.kind == Cell::Formula
                                          ? VARIANT_TRUE
                                          : VARIANT_FALSE;
                    return S_OK;
                case kValue:
                    if (held == g_cells.end()) return S_OK;  // Empty
                    if (held->second.kind == Cell::Number) {
                        returnNumber(result, cell, held->second.text);
                        return S_OK;
                    }
                    if (held->second.kind == Cell::Text)
                        returnText(result, held->second.text);
                    else
                        returnText(result, std::string("(formula result)"));
                    return S_OK;
                case kFormula:
                    if (held != g_cells.end())
                        returnText(result, held->second.text);
                    else
                        returnText(result, std::string());
                    return S_OK;
            }
            return DISP_E_MEMBERNOTFOUND;
        });
}

constexpr DISPID kProtectContents = 292, kRows = 258, kCount = 118;

// A sheet's Rows: only their Count.
IDispatch* newRows() {
    return new FakeObject({{L"Count", kCount}},
                          [](DISPID id, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*) {
                              if (id != kCount || !result) return DISP_E_MEMBERNOTFOUND;
                              VariantInit(result);
                              result->vt = VT_I4;
                              result->lVal = kSheetRows;
                              return S_OK;
                          });
}

IDispatch* newSheet() {
    return new FakeObject(
        {{L"Range", 197}, {L"ProtectContents", kProtectContents}, {L"Rows", kRows}},
        [](DISPID id, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) {
            if (id == kRows) return returnObject(result, newRows());
            if (id == kProtectContents) {
                std::fprintf(g_log, "ProtectContents\n");
                std::fflush(g_log);
                VariantInit(result);
                result->vt = VT_BOOL;
                result->boolVal = g_protected ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
            if (id != 197 || p->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
            // Like Excel, no cell without column letters.
            const std::string cell = bstr(p->rgvarg[0]);
            if (cell.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos)
                return excelError(info, L"Range method failed");
            return returnObject(result, newRange(cell));
        });
}

IDispatch* newSheets() {
    return new FakeObject({}, [](DISPID id, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*) {
        if (id != DISPID_VALUE || p->cArgs != 1) return DISP_E_MEMBERNOTFOUND;
        if (g_noSheet1 || _wcsicmp(p->rgvarg[0].bstrVal, L"sheet1") != 0)
            return static_cast<HRESULT>(DISP_E_BADINDEX);
        return returnObject(result, newSheet());
    });
}

// The paths of the workbooks open, as Workbooks.Count counts them.
std::set<std::string> g_openBooks;

IDispatch* newWorkbook(std::string path) {
    return new FakeObject({{L"Worksheets", 494}, {L"Close", 277}, {L"FullName", 289}},
                          [path](DISPID id, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*) {
                              if (id == 289 && result) {  // FullName
                                  returnText(result, path);
                                  return S_OK;
                              }
                              if (id == 277) {  // Close(SaveChanges)
                                  std::fprintf(g_log, "closed %s saving=%s\n", path.c_str(),
                                               p->cArgs && p->rgvarg[p->cArgs - 1].vt == VT_BOOL &&
                                                       !p->rgvarg[p->cArgs - 1].boolVal
                                                   ? "no"
                                                   : "yes");
                                  std::fflush(g_log);
                                  g_openBooks.erase(path);
                                  return S_OK;
                              }
                              if (id != 494) return DISP_E_MEMBERNOTFOUND;
                              return returnObject(result, newSheets());
                          });
}

// Fills the cells LOG_FILE.cells names, if there is such a file.
void seedCells() {
    FILE* seeds = _wfopen(g_cellsFile.c_str(), L"rb");
    if (!seeds) return;
    char line[512];
    while (std::fgets(line, sizeof line, seeds)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const auto space = text.find(' ');
        if (space == std::string::npos) continue;
        if (text.rfind("merge ", 0) == 0) {
            const std::string area = text.substr(space + 1);
            const auto [column, first] = split(area.substr(0, area.find(':')));
            const long last = split(area.substr(area.find(':') + 1)).second;
            for (long row = first; row <= last; ++row)
                g_merges[column + std::to_string(row)] = area;
            continue;
        }
        g_cells[text.substr(0, space)] = {Cell::Text, text.substr(space + 1)};
    }
    std::fclose(seeds);
}

IDispatch* newWorkbooks() {
    return new FakeObject({{L"Open", 1923}, {L"Count", 118}, {L"Item", 170}},
                          [](DISPID id, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info) {
                              if (id == 170 && p->cArgs == 1) {  // Item(index), from 1
                                  VARIANT index;
                                  VariantInit(&index);
                                  if (FAILED(VariantChangeType(&index, &p->rgvarg[0], 0, VT_I4)) ||
                                      index.lVal < 1 ||
                                      index.lVal > static_cast<LONG>(g_openBooks.size()))
                                      return DISP_E_BADINDEX;
                                  auto book = g_openBooks.begin();
                                  std::advance(book, index.lVal - 1);
                                  return returnObject(result, newWorkbook(*book));
                              }
                              if (id == 118 && result) {
                                  VariantInit(result);
                                  result->vt = VT_I4;
                                  result->lVal = static_cast<LONG>(g_openBooks.size());
                                  return S_OK;
                              }
                              if (id != 1923 || p->cArgs < 1) return DISP_E_MEMBERNOTFOUND;
                              const std::string path = bstr(p->rgvarg[p->cArgs - 1]);
                              if (path.find("fails") != std::string::npos)
                                  return excelError(info, L"The file could not be found.");
                              g_noSheet1 = path.find("nosheet") != std::string::npos;
                              g_protected = path.find("protected") != std::string::npos;
                              if (g_openBooks.insert(path).second) seedCells();
                              return returnObject(result, newWorkbook(path));
                          });
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    g_log = _wfopen(argv[1], L"a");
    if (!g_log) return 2;
    g_busyFile = std::wstring(argv[1]) + L".busy";
    g_cellsFile = std::wstring(argv[1]) + L".cells";
    g_deletedFile = std::wstring(argv[1]) + L".deleted";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    static BusyServerFilter filter;
    CoRegisterMessageFilter(&filter, nullptr);
    auto* app = new FakeObject({{L"Workbooks", 572}, {L"Visible", 558}},
                               [](DISPID id, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*) {
                                   if (id == 572) return returnObject(result, newWorkbooks());
                                   if (id == 558) return S_OK;
                                   return static_cast<HRESULT>(DISP_E_MEMBERNOTFOUND);
                               });
    DWORD cookie = 0;
    if (FAILED(RegisterActiveObject(app, kExcelClsid, ACTIVEOBJECT_STRONG, &cookie))) return 3;
    std::fprintf(g_log, "ready\n");
    std::fflush(g_log);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
