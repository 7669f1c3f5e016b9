// libxlsxwriter and libzip, opened when a workbook is first written or read
// rather than when the program starts: with the crypto library both pull in,
// they took 2 to 3 ms of every start of the window. The program calls the
// libraries' functions as declared in their headers; each call below finds
// its function in the library on first use. When a library cannot be opened
// (a broken installation), its functions report failure and say why.
#include <QByteArray>
#include <QtGlobal>

#include <mutex>

#include <dlfcn.h>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

struct Library
{
    explicit Library(const char *name) : soname(name) {}
    const char *const soname;
    void *handle = nullptr;
    std::once_flag opened;
};

Library xlsxwriter(VANTREL_XLSXWRITER_SONAME);
Library libzip(VANTREL_LIBZIP_SONAME);

void *symbol(Library &library, const char *name)
{
    std::call_once(library.opened, [&library] {
        library.handle = ::dlopen(library.soname, RTLD_NOW | RTLD_LOCAL);
        if (!library.handle)
            qWarning("vantrel: cannot open %s: %s", library.soname, ::dlerror());
    });
    return library.handle ? ::dlsym(library.handle, name) : nullptr;
}

template <typename Function>
Function *find(Library &library, const char *name)
{
    return reinterpret_cast<Function *>(symbol(library, name));
}

char missingXlsxwriter[] = "the library libxlsxwriter could not be opened";
const char *const missingLibzip = "the library libzip could not be opened";

} // namespace

// Each function: looked up once, called with the caller's arguments; the
// value in the last argument of the macro is what a missing library gives.
#define VANTREL_DEFERRED(library, result, name, parameters, arguments, missing)                 \
    extern "C" result name parameters                                                          \
    {                                                                                          \
        static const auto function = find<result parameters>(library, #name);                  \
        if (!function)                                                                         \
            return missing;                                                                    \
        return function arguments;                                                             \
    }

VANTREL_DEFERRED(xlsxwriter, lxw_workbook *, workbook_new_opt,
                 (const char *filename, lxw_workbook_options *options), (filename, options),
                 nullptr)
VANTREL_DEFERRED(xlsxwriter, lxw_format *, workbook_add_format, (lxw_workbook * workbook),
                 (workbook), nullptr)
VANTREL_DEFERRED(xlsxwriter, lxw_worksheet *, workbook_add_worksheet,
                 (lxw_workbook * workbook, const char *sheetname), (workbook, sheetname), nullptr)
VANTREL_DEFERRED(xlsxwriter, lxw_error, workbook_close, (lxw_workbook * workbook), (workbook),
                 LXW_ERROR_CREATING_XLSX_FILE)
VANTREL_DEFERRED(xlsxwriter, void, worksheet_activate, (lxw_worksheet * worksheet), (worksheet),
                 void())
VANTREL_DEFERRED(xlsxwriter, lxw_error, worksheet_set_column,
                 (lxw_worksheet * worksheet, lxw_col_t first_col, lxw_col_t last_col,
                  double width, lxw_format *format),
                 (worksheet, first_col, last_col, width, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
VANTREL_DEFERRED(xlsxwriter, lxw_error, worksheet_write_blank,
                 (lxw_worksheet * worksheet, lxw_row_t row, lxw_col_t col, lxw_format *format),
                 (worksheet, row, col, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
VANTREL_DEFERRED(xlsxwriter, lxw_error, worksheet_write_number,
                 (lxw_worksheet * worksheet, lxw_row_t row, lxw_col_t col, double number,
                  lxw_format *format),
                 (worksheet, row, col, number, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
VANTREL_DEFERRED(xlsxwriter, lxw_error, worksheet_write_string,
                 (lxw_worksheet * worksheet, lxw_row_t row, lxw_col_t col, const char *string,
                  lxw_format *format),
                 (worksheet, row, col, string, format), LXW_ERROR_MEMORY_MALLOC_FAILED)
VANTREL_DEFERRED(xlsxwriter, void, format_set_align, (lxw_format * format, uint8_t alignment),
                 (format, alignment), void())
VANTREL_DEFERRED(xlsxwriter, void, format_set_num_format,
                 (lxw_format * format, const char *num_format), (format, num_format), void())
VANTREL_DEFERRED(xlsxwriter, char *, lxw_strerror, (lxw_error error_num), (error_num),
                 missingXlsxwriter)

VANTREL_DEFERRED(libzip, void, zip_discard, (zip_t * archive), (archive), void())
VANTREL_DEFERRED(libzip, void, zip_error_fini, (zip_error_t * error), (error), void())
VANTREL_DEFERRED(libzip, void, zip_error_init, (zip_error_t * error), (error), void())
VANTREL_DEFERRED(libzip, const char *, zip_error_strerror, (zip_error_t * error), (error),
                 missingLibzip)
VANTREL_DEFERRED(libzip, int, zip_fclose, (zip_file_t * file), (file), -1)
VANTREL_DEFERRED(libzip, zip_file_t *, zip_fopen_index,
                 (zip_t * archive, zip_uint64_t index, zip_flags_t flags), (archive, index, flags),
                 nullptr)
VANTREL_DEFERRED(libzip, zip_int64_t, zip_fread,
                 (zip_file_t * file, void *buffer, zip_uint64_t length), (file, buffer, length),
                 -1)
VANTREL_DEFERRED(libzip, zip_t *, zip_open_from_source,
                 (zip_source_t * source, int flags, zip_error_t *error), (source, flags, error),
                 nullptr)
VANTREL_DEFERRED(libzip, zip_source_t *, zip_source_buffer_create,
                 (const void *data, zip_uint64_t length, int freep, zip_error_t *error),
                 (data, length, freep, error), nullptr)
VANTREL_DEFERRED(libzip, void, zip_source_free, (zip_source_t * source), (source), void())
VANTREL_DEFERRED(libzip, int, zip_stat,
                 (zip_t * archive, const char *name, zip_flags_t flags, zip_stat_t *stat),
                 (archive, name, flags, stat), -1)
VANTREL_DEFERRED(libzip, void, zip_stat_init, (zip_stat_t * stat), (stat), void())
