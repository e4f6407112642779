#pragma once

// Every entity kind of the data model and its collection.
#include "PyxDatabase.h"
#include "PyxJobs.h"
