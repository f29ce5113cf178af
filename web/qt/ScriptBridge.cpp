#include "web/qt/ScriptBridge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "model/ScriptExposure.h"
#include "web/External.h"
#include "web/ScriptHost.h"

namespace pavilo {

namespace {

const char* interfaceName(TScriptInterface i)
{
    switch (i) {
    case TScriptInterface::siNode:
        return "INode";
    case TScriptInterface::siPVNode:
        return "IPVNode";
    case TScriptInterface::siPageNode:
        return "IPageNode";
    }
    return "INode";
}

QJsonValue toJson(const TScriptValue& v);

// A node's own values travel as the script values they are.
QJsonValue primitiveToJson(const TVariant& v)
{
    return toJson(std::visit([](const auto& x) -> TScriptValue { return x; }, v));
}

QJsonValue toJson(const TScriptValue& v)
{
    QJsonObject o;
    std::visit(
        [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                o["t"] = "empty";
            } else if constexpr (std::is_same_v<T, TScriptNull>) {
                o["t"] = "null";
            } else if constexpr (std::is_same_v<T, bool>) {
                o["t"] = "bool";
                o["v"] = x;
            } else if constexpr (std::is_same_v<T, int16_t> || std::is_same_v<T, int32_t>) {
                o["t"] = "int";
                o["v"] = static_cast<int>(x);
            } else if constexpr (std::is_same_v<T, double>) {
                o["t"] = "double";
                o["v"] = x;
            } else if constexpr (std::is_same_v<T, std::string>) {
                o["t"] = "string";
                o["v"] = QString::fromStdString(x);
            } else if constexpr (std::is_same_v<T, TScriptNodeRef>) {
                if (x.Handle == TScriptHost::kExternalHandle) {
                    o["t"] = "external";
                } else {
                    o["t"] = "node";
                    o["h"] = x.Handle;
                    o["i"] = interfaceName(x.Interface);
                }
            } else {
                o["t"] = "object";
                o["id"] = primitiveToJson(x.Id);
            }
        },
        v);
    return o;
}

TVariant primitiveFromJson(const QJsonObject& o)
{
    const QString t = o["t"].toString();
    if (t == "bool")
        return o["v"].toBool();
    if (t == "int")
        return static_cast<int32_t>(o["v"].toInteger());
    if (t == "double")
        return o["v"].toDouble();
    if (t == "string")
        return o["v"].toString().toStdString();
    return std::monostate{};
}

TScriptValue fromJson(const QJsonValue& value)
{
    const QJsonObject o = value.toObject();
    const QString t = o["t"].toString();
    if (t == "null")
        return TScriptNull{};
    if (t == "node")
        return TScriptNodeRef{static_cast<int32_t>(o["h"].toInteger()), TScriptInterface::siNode};
    if (t == "external")
        return TScriptNodeRef{TScriptHost::kExternalHandle, TScriptInterface::siNode};
    if (t == "object")
        return TScriptObjectArg{primitiveFromJson(o["id"].toObject())};
    return std::visit([](const auto& x) -> TScriptValue { return x; }, primitiveFromJson(o));
}

QString tablesJson()
{
    QJsonObject interfaces;
    QJsonArray members;
    QJsonArray writable;
    const TScriptInterface all[] = {TScriptInterface::siNode, TScriptInterface::siPVNode, TScriptInterface::siPageNode};
    for (TScriptInterface i : all) {
        for (const TScriptMember& m : kScriptMembers) {
            if (m.Interface != i)
                continue;
            members.append(QString::fromUtf8(m.ScriptName.data(), static_cast<qsizetype>(m.ScriptName.size())));
            if (m.Access == TScriptAccess::saReadWrite)
                writable.append(QString::fromUtf8(m.ScriptName.data(), static_cast<qsizetype>(m.ScriptName.size())));
        }
        interfaces[interfaceName(i)] = members;
    }
    QJsonArray properties;
    QJsonArray methods;
    for (const TExternalMember& m : kExternalMembers) {
        const QString name = QString::fromUtf8(m.ScriptName.data(), static_cast<qsizetype>(m.ScriptName.size()));
        (m.Kind == TExternalMemberKind::emMethod ? methods : properties).append(name);
    }
    QJsonObject tables;
    tables["interfaces"] = interfaces;
    tables["writable"] = writable;
    tables["methods"] = QJsonArray{"items"};
    tables["externalProperties"] = properties;
    tables["externalMethods"] = methods;
    return QString::fromUtf8(QJsonDocument(tables).toJson(QJsonDocument::Compact));
}

// The injected script. Member names compare without regard to case, as
// the script objects of the original pages expect.
const char* kBridgeScript = R"JS((function () {
  'use strict';
  if (window.__paviloExternal) return;
  var MARKER = %1;
  var TABLES = %2;
  var ask = window.prompt.bind(window);
  var proxies = new Map();
  var handles = new WeakMap();
  var externalProxy = null;
  function lowerMap(names) {
    var m = {};
    names.forEach(function (n) { m[n.toLowerCase()] = n; });
    return m;
  }
  var ifaces = {};
  Object.keys(TABLES.interfaces).forEach(function (k) { ifaces[k] = lowerMap(TABLES.interfaces[k]); });
  var writable = lowerMap(TABLES.writable);
  var nodeMethods = lowerMap(TABLES.methods);
  var extProps = lowerMap(TABLES.externalProperties);
  var extMethods = lowerMap(TABLES.externalMethods);
  function toHost(v) {
    if (v === undefined) return { t: 'empty' };
    if (v === null) return { t: 'null' };
    switch (typeof v) {
      case 'boolean': return { t: 'bool', v: v };
      case 'number':
        return (Number.isInteger(v) && v >= -2147483648 && v <= 2147483647) ? { t: 'int', v: v } : { t: 'double', v: v };
      case 'string': return { t: 'string', v: v };
      case 'object': case 'function':
        if (handles.has(v)) {
          var h = handles.get(v);
          return h === 0 ? { t: 'external' } : { t: 'node', h: h };
        }
        var id;
        try { id = v.id; } catch (e) { id = undefined; }
        var p = toHost(id);
        return { t: 'object', id: (p.t === 'node' || p.t === 'external' || p.t === 'object') ? { t: 'empty' } : p };
    }
    return { t: 'empty' };
  }
  function fromHost(v) {
    switch (v.t) {
      case 'null': return null;
      case 'bool': case 'int': case 'double': case 'string': return v.v;
      case 'node': return nodeProxy(v.h, v.i);
      case 'external': return theExternal();
    }
    return undefined;
  }
  function call(request) {
    var raw = ask(MARKER, JSON.stringify(request));
    if (typeof raw !== 'string') throw new Error('window.external is not available');
    var answer = JSON.parse(raw);
    if (answer.error !== undefined) throw new Error(answer.error);
    return fromHost(answer.value);
  }
  function makeProxy(h, props, methods, canWrite) {
    var target = {};
    var proxy = new Proxy(target, {
      get: function (t, name) {
        if (typeof name !== 'string') return Reflect.get(t, name);
        var key = name.toLowerCase();
        if (methods[key]) return function () {
          return call({ op: 'call', h: h, name: methods[key], args: Array.prototype.map.call(arguments, toHost) });
        };
        if (props[key]) return call({ op: 'get', h: h, name: props[key] });
        if (name === 'toString') return function () { return '[object]'; };
        return Reflect.get(t, name);
      },
      set: function (t, name, value) {
        if (typeof name === 'string') {
          var key = name.toLowerCase();
          if (props[key] || methods[key]) {
            call({ op: 'set', h: h, name: props[key] || methods[key], value: toHost(value) });
            return true;
          }
        }
        return Reflect.set(t, name, value);
      },
      has: function (t, name) {
        if (typeof name === 'string' && (props[name.toLowerCase()] || methods[name.toLowerCase()])) return true;
        return Reflect.has(t, name);
      }
    });
    handles.set(proxy, h);
    return proxy;
  }
  function nodeProxy(h, iface) {
    var p = proxies.get(h);
    if (p) return p;
    var props = {};
    var members = ifaces[iface] || ifaces.INode;
    Object.keys(members).forEach(function (k) { if (!nodeMethods[k]) props[k] = members[k]; });
    var methods = {};
    Object.keys(members).forEach(function (k) { if (nodeMethods[k]) methods[k] = members[k]; });
    p = makeProxy(h, props, methods);
    proxies.set(h, p);
    return p;
  }
  function theExternal() {
    if (!externalProxy) externalProxy = makeProxy(0, extProps, extMethods);
    return externalProxy;
  }
  Object.defineProperty(window, '__paviloExternal', { value: true });
  Object.defineProperty(window, 'external', {
    configurable: true,
    enumerable: true,
    get: function () { return call({ op: 'external' }); },
    set: function () {}
  });
})();)JS";

} // namespace

QString ScriptBridgeMarker()
{
    return QStringLiteral("pavilo:window.external");
}

QString ScriptBridgeSource()
{
    const QString marker = QString::fromUtf8(QJsonDocument(QJsonArray{ScriptBridgeMarker()}).toJson(QJsonDocument::Compact));
    // The marker as a JSON string literal: drop the array brackets.
    return QString::fromUtf8(kBridgeScript).arg(marker.mid(1, marker.size() - 2), tablesJson());
}

QString AnswerScriptBridgeCall(TScriptHost& host, const QString& request)
{
    QJsonObject answer;
    try {
        const QJsonObject r = QJsonDocument::fromJson(request.toUtf8()).object();
        const QString op = r["op"].toString();
        const auto handle = static_cast<int32_t>(r["h"].toInteger());
        const std::string name = r["name"].toString().toStdString();
        TScriptValue result;
        if (op == "external") {
            result = host.ExternalObject();
        } else if (op == "get") {
            result = host.Get(handle, name);
        } else if (op == "set") {
            host.Set(handle, name, fromJson(r["value"]));
        } else if (op == "call") {
            std::vector<TScriptValue> args;
            for (const QJsonValue& a : r["args"].toArray())
                args.push_back(fromJson(a));
            result = host.Call(handle, name, args);
        } else {
            throw EScriptError("Unknown request");
        }
        answer["value"] = toJson(result);
    } catch (const Exception& e) {
        answer["error"] = QString::fromStdString(e.Message());
    } catch (const std::exception& e) {
        answer["error"] = QString::fromUtf8(e.what());
    }
    return QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

} // namespace pavilo
