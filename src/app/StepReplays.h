// SPDX-License-Identifier: MIT
// Registers how every tool's steps are made again from their recipes.
#pragma once

void registerStepReplays();
