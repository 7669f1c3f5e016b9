#include "protocol/modeltable.h"

#include <iterator>

namespace ModelTable {

namespace {
constexpr Family M = Family::Meter;
constexpr Family L = Family::Logger;
const Model kModels[] = {
    {4410018, "QX117", M, true, false},   {4410029, "QX118", M, true, false},
    {4410031, "QX107", L, false, true},   {4410042, "QX119", M, true, false},
    {6120013, "QX116", M, true, false},   {6120024, "QX113", M, true, false},
    {6120035, "QX107", L, false, true},   {6120046, "QX114", M, true, false},
    {6120057, "QX115", M, true, false},   {6120068, "QX112", M, true, false},
    {6120079, "QX109", M, true, false},   {6120081, "QX110", M, true, false},
    {6120092, "QX111", M, true, false},   {6120103, "QX108", M, true, false},
    {24410018, "QX117", L, true, true},   {24410029, "QX118", M, true, false},
    {24410031, "QX107", L, true, true},   {24410042, "QX119", M, true, false},
    {24420053, "QX104", L, true, true},   {24420064, "QX105", M, true, false},
    {24420075, "QX106", L, true, true},   {24430086, "QX103", L, true, true},
    {24430097, "QX101", L, true, true},   {24430108, "QX102", M, true, false},
    {26120013, "QX116", M, true, false},  {26120024, "QX113", M, true, false},
    {26120046, "QX114", M, true, false},  {26120057, "QX115", M, true, false},
    {26120068, "QX112", M, true, false},  {26120079, "QX109", M, true, false},
    {26120081, "QX110", M, true, false},  {26120092, "QX111", M, true, false},
    {26120103, "QX108", M, true, false},
};

const Model *find(quint32 code)
{
    for (const Model &m : kModels)
        if (m.code == code)
            return &m;
    return nullptr;
}
} // namespace

const Model *models(int *count)
{
    *count = int(std::size(kModels));
    return kModels;
}

QString meterName(quint32 code)
{
    const Model *m = find(code);
    return m && m->knownToMeterPage ? QString::fromLatin1(m->name) : QStringLiteral("UnKnow");
}

QString loggerName(quint32 code)
{
    const Model *m = find(code);
    return m && m->knownToLoggerPage ? QString::fromLatin1(m->name) : QStringLiteral("UnKnow");
}

Family family(quint32 code)
{
    const Model *m = find(code);
    return m ? m->family : Family::Meter;
}

bool isLoggerCode(quint32 code) { return family(code) == Family::Logger; }

} // namespace ModelTable
