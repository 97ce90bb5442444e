// The bodies of the row kernels. Included by each per-instruction-set file inside its own
// namespace (VORN_KERNEL_NS), so that every copy is a distinct function compiled for its
// target. Loops are branch-free selects so the compiler can vectorise them.
// No include guard on purpose: one inclusion per instruction-set file.

namespace VORN_KERNEL_NS {

template <class F>
struct Rows {
  using P = typename F::Pixel;

  static void Copy(P* d, const P* s, int n, bool useKey, uint32_t key) {
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i];
      d[i] = static_cast<P>((useKey && sv == key) ? uint32_t{d[i]} : sv);
    }
  }

  static void Translucent(P* d, const P* s, int n, uint32_t a, bool useKey, uint32_t key) {
    uint32_t ia = 255 - a;
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i], dv = d[i];
      uint32_t out = MixPx<F>(sv, dv, a, ia);
      bool keep = (sv == dv) | (useKey & (sv == key));
      d[i] = static_cast<P>(keep ? dv : out);
    }
  }

  static void Mask(P* d, const P* s, const uint8_t* m, int n) {
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i], dv = d[i], k = m[i];
      uint32_t out = MixPx<F>(sv, dv, k, 255 - k);
      out = k == 255 ? sv : out;
      d[i] = static_cast<P>(k == 0 ? dv : out);
    }
  }

  static void MaskTranslucent(P* d, const P* s, const uint8_t* m, int n, uint32_t a) {
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i], dv = d[i], k = m[i];
      uint32_t b = (a * k) >> 8;
      uint32_t out = MixPx<F>(sv, dv, b, b ^ 255);
      d[i] = static_cast<P>(k == 0 ? dv : out);
    }
  }

  static void Add(P* d, const P* s, int n, uint32_t amount, bool useKey, uint32_t key) {
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i], dv = d[i];
      uint32_t out = AddPx<F>(sv, dv, amount);
      d[i] = static_cast<P>((useKey && sv == key) ? dv : out);
    }
  }

  static void MaskAdd(P* d, const P* s, const uint8_t* m, int n, uint32_t amount) {
    for (int i = 0; i < n; ++i) {
      uint32_t sv = s[i], dv = d[i], k = m[i];
      d[i] = static_cast<P>(AddPx<F>(sv, dv, (amount * k) >> 8));
    }
  }

  static void FillTranslucent(P* d, int n, uint32_t pixel, uint32_t a) {
    uint32_t ia = 255 - a;
    for (int i = 0; i < n; ++i) {
      uint32_t dv = d[i];
      uint32_t out = MixPx<F>(pixel, dv, a, ia);
      d[i] = static_cast<P>(dv == pixel ? dv : out);
    }
  }

  static void AddColor(P* d, int n, uint32_t pixel) {
    for (int i = 0; i < n; ++i) d[i] = static_cast<P>(SatAddPx<F>(pixel, d[i]));
  }

  static void SubColor(P* d, int n, uint32_t pixel) {
    for (int i = 0; i < n; ++i) d[i] = static_cast<P>(SatSubPx<F>(pixel, d[i]));
  }

  static void FillMask(P* d, const uint8_t* m, int n, uint32_t pixel, uint32_t a) {
    for (int i = 0; i < n; ++i) {
      uint32_t dv = d[i], k = m[i];
      uint32_t b = (a * k) >> 8;
      uint32_t out = MixPx<F>(pixel, dv, b, 255 - b);
      d[i] = static_cast<P>(k == 0 ? dv : out);
    }
  }
};

template <class F>
constexpr DibxKernels<F> Make(const char* isa) {
  return {isa, Rows<F>::Copy, Rows<F>::Translucent, Rows<F>::Mask, Rows<F>::MaskTranslucent, Rows<F>::Add,
          Rows<F>::MaskAdd, Rows<F>::FillTranslucent, Rows<F>::AddColor, Rows<F>::SubColor, Rows<F>::FillMask};
}

}  // namespace VORN_KERNEL_NS
