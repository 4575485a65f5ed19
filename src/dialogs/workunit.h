#pragma once
// The compression dialog: the items to pack, the top folder they are named
// relative to, and the archive path.
#include "dialogs/form.h"

namespace kinaru {

class TForm2 : public Form {
    Q_OBJECT
public:
    explicit TForm2(AppContext& context);

    void FormCreate() override;
    void FormHide() override;
};

}  // namespace kinaru
