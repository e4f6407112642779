#include "KroProgressPopup.h"

#include "KroProgressBar.h"

namespace {

class TProgressBarPopup final : public TProgressPopup {
public:
    explicit TProgressBarPopup(std::unique_ptr<TProgressBar> Bar) : Bar(std::move(Bar)) {}
    void SetPosition(std::int32_t Permille) override { Bar->SetPosition(Permille); }

private:
    std::unique_ptr<TProgressBar> Bar;
};

} // namespace

std::unique_ptr<TProgressPopup> MakeProgressBarPopup() {
    std::unique_ptr<TProgressBar> Bar = TProgressBar::Create();
    if (Bar == nullptr)
        return nullptr;
    return std::make_unique<TProgressBarPopup>(std::move(Bar));
}
