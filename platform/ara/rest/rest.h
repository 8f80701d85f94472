#pragma once

// Everything of the REST layer in one include.
#include "ara/rest/allocator.h"
#include "ara/rest/exception.h"
#include "ara/rest/ogm.h"
#include "ara/rest/serialize/json_serializer.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
