// SPDX-FileCopyrightText: 2026 The Sorawata developers
// SPDX-License-Identifier: MIT

#pragma once

#include "platform/form_definition.h"

namespace app {

// The game's one window, Frm, as it is defined before start-up lays it out.
platform::FormDefinition frmDefinition();

} // namespace app
