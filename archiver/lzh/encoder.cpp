#include "encode_state.h"

namespace lzh {

void EncodeState::drain() {
    std::vector<uint8_t>& b = blocks.bytes();
    if (b.empty()) return;
    out->write(b.data(), b.size());
    res.out += b.size();
    b.clear();
}

void EncodeState::flushChunk() {
    blocks.flush();
    drain();
    if (giveUp && res.out > blocks.covered() + kGiveUpBytes) throw GiveUp{};
    if (*progress) (*progress)(blocks.covered());  // not what was read ahead
}

struct Encoder::Impl {
    EncodeState st;
    LazyParser lazy;
    PricedParser priced;
    const LzMethod* last = nullptr;
};

Encoder::Encoder() : impl_(std::make_unique<Impl>()) {}
Encoder::~Encoder() = default;

EncodeResult Encoder::encode(const LzMethod& m, ByteSource& in, ByteSink& out, bool giveUp, const Progress& progress,
                             const uint8_t* history, size_t historySize) {
    EncodeState& st = impl_->st;
    st.win.setWindow(m.dicbit);
    // The finders forget the last entry cheaply; after another method
    // (another window, the other finder) they clear everything.
    if (impl_->last != &m) st.win.slid = true;
    impl_->last = &m;
    if (historySize > st.win.wsize) history += historySize - st.win.wsize, historySize = st.win.wsize;
    bool optimal = m.dicbit >= 16;
    if (optimal)
        impl_->priced.resetFor(st.win);
    else
        impl_->lazy.resetFor(st.win);
    st.win.start(in, history, static_cast<uint32_t>(historySize));
    st.blocks.reset(m);
    st.out = &out;
    st.giveUp = giveUp;
    st.progress = &progress;
    st.res = {};
    try {
        if (optimal)
            impl_->priced.run(st);
        else
            impl_->lazy.run(st, m.dicbit);
        st.blocks.flush();
        st.res.bits = st.blocks.bits();
        st.blocks.finish();
        st.drain();
    } catch (const GiveUp&) {
        st.res.gaveUp = true;
    }
    st.res.in = st.win.read;
    st.res.crc = st.win.crc;
    return st.res;
}

EncodeResult encode(const LzMethod& m, ByteSource& in, ByteSink& out, bool giveUp, const Progress& progress) {
    return Encoder().encode(m, in, out, giveUp, progress);
}

}  // namespace lzh
