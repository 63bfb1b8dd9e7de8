#pragma once
// Everything the platform layer offers, for files that use much of it.

#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/filetime.h"
#include "platform/names.h"
#include "platform/shell.h"
#include "platform/statefile.h"
#include "platform/wildcard.h"
#include "platform/wintypes.h"
