// Loads the system parameters and dictionary defaults into the session records.
#pragma once

namespace app {

// Runs both statements on the data module's qryCmd; raises on a failed statement.
void LoadSystemParameters();

}  // namespace app
