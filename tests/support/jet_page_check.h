#pragma once
#include "support/db_builder.h"
