#include "webview/ArchivePage.h"

#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

ArchivePage::ArchivePage(QObject* parent) : QWebEnginePage(parent)
{
    QWebEngineScript placeLinks;
    placeLinks.setName(QStringLiteral("zkalto place links"));
    placeLinks.setWorldId(QWebEngineScript::ApplicationWorld);
    placeLinks.setInjectionPoint(QWebEngineScript::DocumentReady);
    placeLinks.setRunsOnSubFrames(false);
    placeLinks.setSourceCode(QStringLiteral(R"(
document.addEventListener('click', event => {
    // A document whose links resolve against its own address is left to the engine.
    if (document.baseURI.split('#')[0] === location.href.split('#')[0] || event.button !== 0)
        return;
    const link = event.target.closest && event.target.closest('a[href^="#"]');
    if (!link)
        return;
    let place = link.getAttribute('href').slice(1);
    try {
        place = decodeURIComponent(place);
    } catch (malformed) {
    }
    const target = document.getElementById(place) || document.getElementsByName(place)[0];
    if (!target)
        return;
    event.preventDefault();
    target.scrollIntoView();
}, true);
)"));
    scripts().insert(placeLinks);
}
