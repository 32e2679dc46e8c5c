#pragma once

// How a save the user asked for ended. Cancelled is the user's own choice (a
// file dialog closed without a name): nothing was written and nothing failed.
enum class SaveOutcome { Saved, Failed, Cancelled };
