#include "foundation/XlsxWriterLib.h"

#include <QMutex>
#include <dlfcn.h>

const TXlsxWriterApi *XlsxWriterApi(QString *error)
{
    static QMutex lock;
    static TXlsxWriterApi api;
    static bool tried = false;
    static bool ok = false;
    static QString reason;
    QMutexLocker guard(&lock);
    if (!tried) {
        tried = true;
        void *h = nullptr;
        for (const char *name : {"libxlsxwriter.so.4", "libxlsxwriter.so"}) {
            h = dlmopen(LM_ID_NEWLM, name, RTLD_NOW | RTLD_LOCAL);
            if (h)
                break;
        }
        if (!h) {
            reason = QString::fromLocal8Bit(dlerror());
        } else {
            ok = true;
#define SC_XLSX_LOAD(name)                                                                     \
    api.name = reinterpret_cast<decltype(&::name)>(dlsym(h, #name));                           \
    if (!api.name) {                                                                           \
        ok = false;                                                                            \
        reason = QStringLiteral("libxlsxwriter lacks ") + QLatin1String(#name);                \
    }
            SC_XLSX_FUNCTIONS(SC_XLSX_LOAD)
#undef SC_XLSX_LOAD
        }
    }
    if (!ok && error)
        *error = reason;
    return ok ? &api : nullptr;
}
