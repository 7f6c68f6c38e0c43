#pragma once
// The purge options the user confirms before a purge. The confirmation dialog
// derives from this record; code without a window reaches it through
// Options().

struct PurgeOptions {
    bool blnDoNotDeletePurgedFiles = false;
    bool blnOKToPurgeReadOnlyFiles = true;
    bool blnOKToPurgeSystemFiles = false;
    bool blnOKToPurgeSensitiveFiles = false;
    bool blnPurgeSlackOnly = false;
    bool blnConfirmFiles = false;
    bool blnDeleteEmptyFolders = true;
    bool blnFolderNamesOnly = true;
    bool blnConfirm = false;

    // The values every run starts from.
    void SetDefaults() { *this = PurgeOptions(); }
};

PurgeOptions& Options();
void SetOptions(PurgeOptions* options);
