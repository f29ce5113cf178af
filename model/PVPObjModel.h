#pragma once
// The document object model: every node class and the observer link.

#include "model/ContentNodes.h"
#include "model/DocumentNodes.h"
#include "model/LinkInfo.h"
#include "model/Node.h"
#include "model/NodeClass.h"
#include "model/NodeId.h"
#include "model/NodeLink.h"
#include "model/ScriptExposure.h"
