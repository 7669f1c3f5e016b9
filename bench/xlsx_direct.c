/* The floor of an .xlsx for bench_files: the cells of a dump written with
 * libxlsxwriter directly, as a C program would. Lines of the dump:
 *     S name                            a new worksheet
 *     C row column centred decimals kind [text]
 *                                       a cell; kind s text, n number, b blank
 *     W column width                    a column's width
 * Usage: xlsx_direct DUMP OUT.xlsx REPETITIONS; prints the median CPU
 * time in ms of the writing (the dump is read once, beforehand). */
#include <xlsxwriter.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct line
{
    char kind;
    int row, column, centred, decimals, width;
    char value_kind;
    char *text;
    double number;
};

static double cpu_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int compare(const void *a, const void *b)
{
    const double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y;
}

static lxw_format *format_of(lxw_workbook *wb, lxw_format *formats[32][2], int centred,
                             int decimals)
{
    char text[40];
    lxw_format **format;
    if (!centred && decimals < 0)
        return NULL;
    format = &formats[decimals + 1][centred];
    if (!*format) {
        *format = workbook_add_format(wb);
        if (centred)
            format_set_align(*format, LXW_ALIGN_CENTER);
        if (decimals >= 0) {
            strcpy(text, decimals ? "0." : "0");
            memset(text + strlen(text), '0', (size_t)decimals);
            text[decimals ? decimals + 2 : 1] = 0;
            format_set_num_format(*format, text);
        }
    }
    return *format;
}

static int write_book(const char *path, const struct line *lines, size_t count)
{
    lxw_format *formats[32][2] = {{NULL}};
    lxw_workbook *wb = workbook_new(path);
    lxw_worksheet *ws = NULL;
    size_t i;
    for (i = 0; i < count; ++i) {
        const struct line *l = &lines[i];
        if (l->kind == 'S') {
            ws = workbook_add_worksheet(wb, l->text);
        } else if (l->kind == 'W') {
            worksheet_set_column(ws, (lxw_col_t)l->column, (lxw_col_t)l->column, l->width, NULL);
        } else {
            lxw_format *f = format_of(wb, formats, l->centred, l->decimals);
            if (l->value_kind == 's')
                worksheet_write_string(ws, (lxw_row_t)l->row, (lxw_col_t)l->column, l->text, f);
            else if (l->value_kind == 'n')
                worksheet_write_number(ws, (lxw_row_t)l->row, (lxw_col_t)l->column, l->number, f);
            else
                worksheet_write_blank(ws, (lxw_row_t)l->row, (lxw_col_t)l->column, f);
        }
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

int main(int argc, char **argv)
{
    FILE *in;
    char buffer[9000];
    struct line *lines = NULL;
    size_t count = 0, capacity = 0;
    int repetitions, r;
    double *times;
    if (argc != 4 || !(in = fopen(argv[1], "r")))
        return 2;
    repetitions = atoi(argv[3]);
    if (repetitions < 1)
        repetitions = 1;
    while (fgets(buffer, sizeof buffer, in)) {
        struct line l;
        int used = 0;
        memset(&l, 0, sizeof l);
        buffer[strcspn(buffer, "\n")] = 0;
        l.kind = buffer[0];
        if (l.kind == 'S') {
            l.text = strdup(buffer + 2);
        } else if (l.kind == 'W') {
            sscanf(buffer + 2, "%d %d", &l.column, &l.width);
        } else if (l.kind == 'C') {
            sscanf(buffer + 2, "%d %d %d %d %c%n", &l.row, &l.column, &l.centred, &l.decimals,
                   &l.value_kind, &used);
            if (l.value_kind == 's')
                l.text = strdup(buffer + 2 + used + 1);
            else if (l.value_kind == 'n')
                l.number = strtod(buffer + 2 + used + 1, NULL);
        } else {
            continue;
        }
        if (count == capacity) {
            capacity = capacity ? 2 * capacity : 1024;
            lines = realloc(lines, capacity * sizeof *lines);
        }
        lines[count++] = l;
    }
    fclose(in);
    times = calloc((size_t)repetitions, sizeof *times);
    for (r = 0; r < repetitions; ++r) {
        const double t = cpu_ms();
        if (!write_book(argv[2], lines, count))
            return 1;
        times[r] = cpu_ms() - t;
    }
    qsort(times, (size_t)repetitions, sizeof *times, compare);
    printf("%.3f\n", times[repetitions / 2]);
    return 0;
}
