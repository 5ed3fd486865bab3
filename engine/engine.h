#pragma once

// The repair engine: everything a front end needs.
#include "engine/backup_copier.h"
#include "engine/batch_run.h"
#include "engine/file_verdict.h"
#include "engine/heap_reader.h"
#include "engine/progress_sink.h"
#include "engine/run_outcomes.h"
#include "engine/tail_locator.h"
#include "engine/types.h"
