# Generates the C++ headers of the office's UNO types into the build tree
# with cppumaker, and defines the imported target `uno::sdk` that carries
# them together with the URE's own headers and libraries.
set(WORDPOUR_LO_PROGRAM "/usr/lib/libreoffice/program" CACHE PATH "LibreOffice program folder")
set(WORDPOUR_LO_SDK "/usr/lib/libreoffice/sdk" CACHE PATH "LibreOffice SDK folder")
set(WORDPOUR_LO_INCLUDE "/usr/include/libreoffice" CACHE PATH "URE headers")

find_program(CPPUMAKER cppumaker HINTS "${WORDPOUR_LO_SDK}/bin" REQUIRED)
set(_uno_out "${CMAKE_BINARY_DIR}/uno-headers")
set(_rdbs "${WORDPOUR_LO_PROGRAM}/types.rdb" "${WORDPOUR_LO_PROGRAM}/types/offapi.rdb")

# The types the backend and its tests use; cppumaker adds what they depend on.
set(_types
    com.sun.star.awt.XTopWindow
    com.sun.star.awt.XTopWindowListener
    com.sun.star.awt.XWindow
    com.sun.star.awt.XWindowListener
    com.sun.star.awt.XWindow2
    com.sun.star.beans.PropertyValue
    com.sun.star.beans.XPropertySet
    com.sun.star.bridge.UnoUrlResolver
    com.sun.star.connection.ConnectionSetupException
    com.sun.star.connection.NoConnectException
    com.sun.star.container.NoSuchElementException
    com.sun.star.container.XEnumeration
    com.sun.star.container.XEnumerationAccess
    com.sun.star.container.XNamed
    com.sun.star.document.DocumentEvent
    com.sun.star.document.MacroExecMode
    com.sun.star.document.XDocumentEventBroadcaster
    com.sun.star.document.XDocumentEventListener
    com.sun.star.frame.Desktop
    com.sun.star.frame.DispatchHelper
    com.sun.star.frame.FeatureStateEvent
    com.sun.star.frame.XDispatch
    com.sun.star.frame.XDispatchHelper
    com.sun.star.frame.XDispatchProvider
    com.sun.star.frame.XStatusListener
    com.sun.star.frame.XController
    com.sun.star.frame.XDesktop2
    com.sun.star.frame.XFrame
    com.sun.star.frame.XFrames
    com.sun.star.frame.XModel
    com.sun.star.frame.XStorable
    com.sun.star.i18n.NumberFormatIndex
    com.sun.star.lang.DisposedException
    com.sun.star.lang.XComponent
    com.sun.star.sheet.CellFlags
    com.sun.star.sheet.XCellAddressable
    com.sun.star.sheet.XCellRangeAddressable
    com.sun.star.sheet.XCellRangeData
    com.sun.star.sheet.XCellRangeFormula
    com.sun.star.sheet.XCellRangesQuery
    com.sun.star.sheet.XSheetCellCursor
    com.sun.star.sheet.XSheetCellRange
    com.sun.star.sheet.XSheetCellRanges
    com.sun.star.sheet.XSpreadsheet
    com.sun.star.sheet.XSpreadsheetDocument
    com.sun.star.sheet.XSpreadsheets
    com.sun.star.table.CellContentType
    com.sun.star.table.XCell
    com.sun.star.table.XCellRange
    com.sun.star.table.XColumnRowRange
    com.sun.star.table.XTableRows
    com.sun.star.text.XText
    com.sun.star.text.XTextRange
    com.sun.star.uno.DeploymentException
    com.sun.star.uno.XComponentContext
    com.sun.star.uno.XWeak
    com.sun.star.uno.XAggregation
    com.sun.star.lang.XTypeProvider
    com.sun.star.util.PathSubstitution
    com.sun.star.util.URL
    com.sun.star.util.URLTransformer
    com.sun.star.util.XCloseable
    com.sun.star.view.XSelectionSupplier
    com.sun.star.util.XMergeable
    com.sun.star.util.XModifiable
    com.sun.star.util.Date
    com.sun.star.util.NumberFormat
    com.sun.star.util.XNumberFormatsSupplier
    com.sun.star.util.XNumberFormatTypes
    com.sun.star.util.XProtectable)
list(JOIN _types ";" _type_list)

add_custom_command(
    OUTPUT "${_uno_out}/stamp"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${_uno_out}/com"
    COMMAND "${CPPUMAKER}" -Gc "-O${_uno_out}" "-T${_type_list}" ${_rdbs}
    COMMAND "${CMAKE_COMMAND}" -E touch "${_uno_out}/stamp"
    DEPENDS ${_rdbs} "${CMAKE_CURRENT_LIST_FILE}"
    COMMENT "Generating UNO headers with cppumaker"
    VERBATIM)
add_custom_target(uno_headers DEPENDS "${_uno_out}/stamp")

add_library(uno_sdk INTERFACE)
add_dependencies(uno_sdk uno_headers)
# The generated headers come first: they must win over any pre-generated copy.
target_include_directories(uno_sdk SYSTEM INTERFACE "${_uno_out}" "${WORDPOUR_LO_INCLUDE}")
target_compile_definitions(uno_sdk INTERFACE LINUX UNX CPPU_ENV=gcc3)
target_link_directories(uno_sdk INTERFACE "${WORDPOUR_LO_SDK}/lib")
target_link_libraries(uno_sdk INTERFACE uno_cppuhelpergcc3 uno_cppu uno_sal)
# The URE libraries need their neighbours in the office's program folder.
target_link_options(uno_sdk INTERFACE "LINKER:-rpath-link,${WORDPOUR_LO_PROGRAM}"
                    "LINKER:-rpath,${WORDPOUR_LO_PROGRAM}")
add_library(uno::sdk ALIAS uno_sdk)
