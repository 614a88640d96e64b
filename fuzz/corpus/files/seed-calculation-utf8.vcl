1+1;
2*Mem[q];
3->Mem[r]
