#include "foundation/XlsxWriterLib.h"

#include <dlfcn.h>

namespace {

struct TLoadedXlsxWriter
{
    TXlsxWriterApi api{};
    bool ok = false;
    QString reason;
};

TLoadedXlsxWriter LoadXlsxWriter()
{
    TLoadedXlsxWriter l;
    void *h = nullptr;
    for (const char *name : {"libxlsxwriter.so.4", "libxlsxwriter.so"}) {
        h = dlmopen(LM_ID_NEWLM, name, RTLD_NOW | RTLD_LOCAL);
        if (h)
            break;
    }
    if (!h) {
        l.reason = QString::fromLocal8Bit(dlerror());
        return l;
    }
    l.ok = true;
#define SC_XLSX_LOAD(name)                                                                     \
    l.api.name = reinterpret_cast<decltype(&::name)>(dlsym(h, #name));                         \
    if (!l.api.name) {                                                                         \
        l.ok = false;                                                                          \
        l.reason = QStringLiteral("libxlsxwriter lacks ") + QLatin1String(#name);              \
    }
    SC_XLSX_FUNCTIONS(SC_XLSX_LOAD)
#undef SC_XLSX_LOAD
    return l;
}

} // namespace

const TXlsxWriterApi *XlsxWriterApi(QString *error)
{
    // Loaded on the first call; the language makes that first call safe from any thread.
    static const TLoadedXlsxWriter loaded = LoadXlsxWriter();
    if (!loaded.ok && error)
        *error = loaded.reason;
    return loaded.ok ? &loaded.api : nullptr;
}
