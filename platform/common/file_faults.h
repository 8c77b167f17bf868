// Lets a backend make single file operations fail on purpose (the scripted backend
// does, to test that a failed save keeps the old show). Names: "file-open",
// "file-create", "file-write", "file-flush", "file-close", "file-rename".
#pragma once

bool file_operation_should_fail(const char* operation);
