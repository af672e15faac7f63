// The model library: objects and scales, attributes and functions, the model
// with its settings, the model file reader and attribute linking.
#pragma once

#include "model/VarnAttribute.h"
#include "model/VarnModel.h"
#include "model/VarnObjects.h"
#include "model/VarnScale.h"
