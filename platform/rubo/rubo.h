#pragma once

// Everything of the framework in one include.
#include "rubo/base_type.h"
#include "rubo/container.h"
#include "rubo/format.h"
#include "rubo/server.h"
#include "rubo/server_reply.h"
#include "rubo/server_resource.h"
#include "rubo/server_service.h"
#include "rubo/server_xobject.h"
#include "rubo/transaction.h"
