#pragma once
// The same-name dialog: what to do when the archive to be written exists.
#include "dialogs/form.h"

namespace kinaru {

class TForm3 : public Form {
    Q_OBJECT
public:
    explicit TForm3(AppContext& context);

    void FormCreate() override;
};

}  // namespace kinaru
