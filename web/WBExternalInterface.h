#pragma once
// The script object model: window.external, the show order and the node
// interfaces that page scripts reach.

#include "web/External.h"
#include "web/NodeHandles.h"
#include "web/NodeIdFromVariant.h"
#include "web/NodeInterfaces.h"
#include "web/ScriptHost.h"
#include "web/ScriptValue.h"
#include "web/ShowOrder.h"
