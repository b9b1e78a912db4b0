#pragma once
// Helpers of the centre-link tests: the language texts and a simulator endpoint.
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include "centrelink/RcClientUnit.h"
#include "RcSim.h"
#include "core/siLang.h"

namespace CentreLinkTest {

// Loads the joined language file beside the test programs (bin/res).
inline void LoadTexts(int language = TsiLangDispatcher::LangKorean)
{
    const QString file = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("res/signal-console.sil"));
    if (QFile::exists(file))
        TsiLangDispatcher::instance()->LoadFromFile(file);
    TsiLangDispatcher::instance()->SetActiveLanguage(language);
}

inline TRcEndpoint CtrlEndpoint(const rcsim::RcSim &sim, int readTimeout = 2000)
{
    TRcEndpoint ep;
    ep.host = QStringLiteral("127.0.0.1");
    ep.port = sim.ctrlPort();
    ep.connectTimeout = 2000;
    ep.readTimeout = readTimeout;
    return ep;
}

inline TRcEndpoint MntrEndpoint(const rcsim::RcSim &sim, int readTimeout = 2000)
{
    TRcEndpoint ep = CtrlEndpoint(sim, readTimeout);
    ep.port = sim.mntrPort();
    return ep;
}

} // namespace CentreLinkTest
