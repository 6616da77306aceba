// The jump dialog: a list of pages and a lookup list; choosing in either closes it at once, OK
// for a page and Yes for a lookup entry, so the caller knows which list was used.
#pragma once
#include <string>
#include <vector>

#include "framework/Form.h"

class TButton;
class TComboBox;

class TJumpDialog : public TForm {
 public:
  TJumpDialog(TComponent* owner, int pageIndex, int pageCount,
              const std::vector<std::string>& lookup, int lookupIndex);
  TComboBox *cbPage = nullptr, *cbLookup = nullptr;
  TButton *btnCancel = nullptr, *btnHelp = nullptr;
};

// Shows the dialog modally; returns the modal result (mrOk: a page was chosen, mrYes: a lookup
// entry, else cancelled) with both indexes as they were left.
int ExecuteJumpDialog(TComponent* owner, int& pageIndex, int pageCount,
                      const std::vector<std::string>& lookup, int& lookupIndex);
