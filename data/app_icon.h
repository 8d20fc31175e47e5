// SPDX-License-Identifier: GPL-3.0-or-later
// The program's picture, a soroban, at every size it was rendered at: the
// window icon of every window of suusiki and soroban.
#pragma once

#include <QIcon>

namespace suusiki {

QIcon ApplicationIcon();

}  // namespace suusiki
