#pragma once
// The synchronous bridge behind window.external in a program browser.
//
// A script injected into every document defines window.external; each
// member access is one synchronous call to the host through the page's
// prompt hook, carried as JSON. Nodes travel as handles of the per-run
// table, so a script never keeps a node alive; failures come back as
// JavaScript exceptions carrying the system's message.

#include <QString>

namespace pavilo {

class TScriptHost;

// The text a bridge call passes as the prompt's message.
QString ScriptBridgeMarker();
// The script that defines window.external, with the member tables.
QString ScriptBridgeSource();
// Answers one call (a JSON request) for the host; never throws.
QString AnswerScriptBridgeCall(TScriptHost& host, const QString& request);

} // namespace pavilo
