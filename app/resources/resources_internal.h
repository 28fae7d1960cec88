// The pieces RegisterApplicationResources puts together, one per file.
#pragma once

bool RegisterMenuAndAccelerators();
bool RegisterDialogs();
bool RegisterIcon();
bool RegisterHelp();
